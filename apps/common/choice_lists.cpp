#include "choice_lists.h"

#include <QComboBox>

namespace apps {

QStringList VersionItems() {
    QStringList items{QStringLiteral("自动")};
    for (int v = 1; v <= 40; ++v) {
        const int side = 17 + 4 * v;
        items << QStringLiteral("版本_%1   %2×%2").arg(v).arg(side);
    }
    return items;
}

QStringList LevelItems() {
    return {QStringLiteral("L(5%)"), QStringLiteral("M(15%)"), QStringLiteral("Q(25%)"), QStringLiteral("H(30%)")};
}

void FillVersionList(QComboBox* list) { list->addItems(VersionItems()); }

}  // namespace apps
