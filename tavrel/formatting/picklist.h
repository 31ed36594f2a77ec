#pragma once

class QComboBox;

// Editable combo boxes whose list entries take effect only when picked from the list.
namespace PickList {

// An editable combo box would otherwise complete typed text and, when typing ends
// on the text of an entry, choose that entry as if it had been picked.
void ignoreTyping(QComboBox &combo);

} // namespace PickList
