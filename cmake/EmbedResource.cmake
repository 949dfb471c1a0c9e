# Writes OUTPUT, a C++ source holding INPUT's bytes registered as resource TYPE/ID.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
if(FUNCTION)
  set(registration "}  // namespace

void ${FUNCTION}() {
    RegisterResource(nullptr, \"${TYPE}\", ${ID}, kData, ${size});
}
")
else()
  set(registration "const ResourceRegistrar kRegistrar(\"${TYPE}\", ${ID}, kData, ${size});
}  // namespace
")
endif()
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.
#include \"platform/base/resources.h\"

namespace {
const BYTE kData[] = {
${bytes}0};
${registration}")
