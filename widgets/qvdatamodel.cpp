#include "qvdatamodel.h"

qvDataModel::qvDataModel(QObject *parent) : QObject(parent) {}
