#include "clrselectdesignerplugin.h"

#include <chromel/clrselect.h>

#include <QIcon>

ClrSelectDesignerPlugin::ClrSelectDesignerPlugin(QObject *parent)
    : QObject(parent)
{
}

QString ClrSelectDesignerPlugin::name() const
{
    return QStringLiteral("ClrSelect");
}

QString ClrSelectDesignerPlugin::group() const
{
    return QStringLiteral("Input Widgets");
}

QString ClrSelectDesignerPlugin::toolTip() const
{
    return QStringLiteral("Colour selector (one of 16 colours)");
}

QString ClrSelectDesignerPlugin::whatsThis() const
{
    return QStringLiteral("A swatch with a drop-down palette of 16 colours. The property "
                          "SelectedColor holds the chosen index (0 to 15); the signal "
                          "Click tells that the user has chosen a colour.");
}

QString ClrSelectDesignerPlugin::includeFile() const
{
    return QStringLiteral("chromel/clrselect.h");
}

QIcon ClrSelectDesignerPlugin::icon() const
{
    return QIcon(QStringLiteral(":/chromel/designer/clrselect.png"));
}

bool ClrSelectDesignerPlugin::isContainer() const
{
    return false;
}

QWidget *ClrSelectDesignerPlugin::createWidget(QWidget *parent)
{
    return new ClrSelect(parent);
}

QString ClrSelectDesignerPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
  <widget class="ClrSelect" name="clrSelect">
    <property name="geometry">
      <rect><x>0</x><y>0</y><width>73</width><height>17</height></rect>
    </property>
  </widget>
</ui>
)");
}
