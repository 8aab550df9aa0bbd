#pragma once

#include <string>
#include <vector>

class CVantorixProject;
class CodePage;

// The font faces the project's labels, paragraphs and buttons name, in UTF-8, each once (faces
// compare ignoring ASCII case, as Windows does; the first spelling is kept), in page order.
std::vector<std::string> FacesUsedBy(const CVantorixProject& project, const CodePage& codePage);
