// The items of the version and error-correction level lists.
#pragma once

#include <QStringList>

class QComboBox;

namespace apps {

// "自动", then "版本_v   s×s" for v = 1 .. 40 (s = 17 + 4v): item v is version v.
QStringList VersionItems();
// "L(5%)", "M(15%)", "Q(25%)", "H(30%)": item n is level n.
QStringList LevelItems();

// Adds the version items to the list (the list's selection is left alone).
void FillVersionList(QComboBox* list);

}  // namespace apps
