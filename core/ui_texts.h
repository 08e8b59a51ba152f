// The English captions designed into the pages' controls, by language-table id.
#pragma once

namespace tessera {

// The designed English caption of a page control (header title and description, buttons,
// labels, groups); nullptr when no control carries the id. A page passes it to
// LanguageTable::ApplyCaption so that the current language can replace it.
const char16_t* EnglishCaption(int id);

}  // namespace tessera
