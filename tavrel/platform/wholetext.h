#pragma once

// While a document's whole text goes into it at once, the document carries that
// text (its raw form: U+2029 between paragraphs) under this property, so that
// whoever follows the document can share it rather than read it back.
namespace WholeText {

inline constexpr char kProperty[] = "tavrelWholeText";

} // namespace WholeText
