#include "widgets/qvdatamodel.h"

qvDataModel::qvDataModel(QObject *parent) : QObject(parent) {}
