#include "connection_point.h"

const IID IID_IConnectionPoint = *GUID::Parse("{B196B286-BAB4-101A-B69C-00AA00341D07}");
const IID IID_IConnectionPointContainer = *GUID::Parse("{B196B284-BAB4-101A-B69C-00AA00341D07}");
