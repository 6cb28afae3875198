#pragma once
// Texts for XML documents in UTF-8. The station's own texts are Latin-1; a text that comes
// as UTF-8 (a template file, a path) may hold bytes that are not UTF-8. Either way the
// result is valid UTF-8 made of characters XML allows: anything else becomes U+FFFD.

#include <string>
#include <string_view>

namespace aerova {

// Latin-1 text as XML character data: "&", "<", ">", '"' and "'" escaped, control bytes
// replaced by U+FFFD.
std::string XmlText(std::string_view latin1);
// The same for UTF-8 text; a byte that starts no well-formed sequence becomes U+FFFD.
std::string XmlTextFromUtf8(std::string_view utf8);
// UTF-8 markup kept as markup (nothing escaped), with the same replacements.
std::string CleanUtf8(std::string_view utf8);

}  // namespace aerova
