#include "widgets/qvtreewidgetitem.h"

qvTreeWidgetItem::qvTreeWidgetItem() : QTreeWidgetItem(Type) {}
