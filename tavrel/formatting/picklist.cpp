#include "formatting/picklist.h"

#include <QComboBox>
#include <QLineEdit>

namespace PickList {

void ignoreTyping(QComboBox &combo)
{
    combo.setCompleter(nullptr);
    if (QLineEdit *edit = combo.lineEdit())
        QObject::disconnect(edit, SIGNAL(editingFinished()), &combo, nullptr);
}

} // namespace PickList
