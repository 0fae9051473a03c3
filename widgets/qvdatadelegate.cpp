#include "widgets/qvdatadelegate.h"

qvDataDelegate::qvDataDelegate(QObject *parent) : QObject(parent) {}

void qvDataDelegate::Init() {}
