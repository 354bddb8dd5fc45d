# Writes OUT: a C++ file holding every file of FILES as a byte array, and the
# table host::detail::BuiltinResources() that the resource lookup reads.
string(REPLACE "|" ";" FILES "${FILES}")
set(decls "")
set(entries "")
set(i 0)
foreach(f ${FILES})
  file(RELATIVE_PATH rel ${DIR} ${f})
  string(REGEX MATCH "^([^/]+)/([^/.]+)" _ ${rel})
  string(TOUPPER "${CMAKE_MATCH_1}" rtype)
  string(TOUPPER "${CMAKE_MATCH_2}" rname)
  file(READ ${f} hex HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR size "${hexlen} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND decls "alignas(8) const unsigned char r${i}[] = {${bytes}0};\n")
  string(APPEND entries "    {\"${rtype}\", \"${rname}\", r${i}, ${size}},\n")
  math(EXPR i "${i} + 1")
endforeach()
file(WRITE ${OUT}.tmp "// Generated from the resources folder; do not edit.
#include \"host/rtl/resources.h\"
namespace {
${decls}
const host::detail::TBuiltinResource table[] = {
${entries}    {nullptr, nullptr, nullptr, 0}
};
}  // namespace
namespace host::detail {
const TBuiltinResource* BuiltinResources() { return table; }
}  // namespace host::detail
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
