#include "qvtreewidgetitem.h"

qvTreeWidgetItem::qvTreeWidgetItem() : QTreeWidgetItem(Type) {}
