# Writes OUTPUT, a C++ file holding the bytes of INPUT as the resource NAME.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(('[^']*',){16})" "\\1\n  " bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.
#include <string_view>

#include \"forms/Resources.h\"

namespace {
const char kData[${size} + 1] = {
  ${bytes}0};

struct Registration {
  Registration() { forms::RegisterResource(\"${NAME}\", std::string_view(kData, ${size})); }
} registration;
}  // namespace

extern const std::string_view ${NAME}Resource;
const std::string_view ${NAME}Resource(kData, ${size});
")
