// Conversion of form files between the binary object stream and its text form.
#pragma once

#include <string>

namespace host {

class TStream;

// Converts the binary object (signature "TPF0" and one component with its children)
// at Input's position into its text form, written at Output's position. Input is
// left just after the component. Raises EReadError naming the problem and its byte
// position when the binary data is malformed.
//
// The text form:
//   object Name: TClass [n]        ("inherited"/"inline" for those flags, [n] the child position)
//     Prop = value
//     object Child: TOther
//     end
//   end
// with two blanks of indentation per level. Values: integers in decimal; floats with
// the shortest digits that give back the same double, followed by s (single), d (date)
// or c (currency, written as its count of ten-thousandths); strings in single quotes
// with '' for a quote and #n for control characters, split into 'piece' + lines of 64
// characters; identifiers bare; True, False, nil, Null; sets [a, b]; lists ( ... );
// binary data {hex}; collections < item [n] ... end >. Wide strings write every
// character outside printable ASCII as a #nnnn escape of at least four digits, and at
// least one escape, so that they read back wide.
void ObjectBinaryToText(TStream* Input, TStream* Output);

// Converts the text form of one object at Input's position into the binary object
// stream, written at Output's position. Input is left after the object's closing
// "end". Raises EParserError naming the problem and its line when the text is
// malformed. Binary produced by ObjectBinaryToText comes back byte for byte, except
// that an empty wide string comes back as an empty string.
void ObjectTextToBinary(TStream* Input, TStream* Output);

// The same conversions on byte strings. Bytes after the object are ignored.
std::string ObjectBinaryToTextString(const std::string& Binary);
std::string ObjectTextToBinaryString(const std::string& Text);

}  // namespace host
