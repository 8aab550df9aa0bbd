#pragma once

#include <lua.hpp>

// The Paragraph table: the text and the visibility of the current page's paragraphs.
const luaL_Reg* ParagraphActionFunctions();
