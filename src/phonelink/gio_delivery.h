// How the phone link puts a file on a phone the desktop has mounted (MTP, AFC,
// PTP, a drive), through GIO and the phone's own URI, so no file-system path is
// needed. The stamp is copied whole under a temporary name into the phone folder
// (made when missing), then put in place of any stamp of the same name. A failure
// or a stop takes away the temporary file and the folders made for it, as far as
// the phone lets us.
#pragma once

#include "phone_delivery.h"

// request.phoneUri names the place (a mount's root or a folder in it); storage
// is not used.
DeliveryResult DeliverThroughDesktop(const DeliveryRequest& request,
                                     const DeliveryProgress& progress);
