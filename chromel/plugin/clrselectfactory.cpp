#include "clrselectfactory.h"

#include <chromel/clrselect.h>

QWidget *ClrSelectFactory::createControl(QWidget *parent)
{
    return new ClrSelect(parent);
}
