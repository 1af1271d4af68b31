#include "report/model/trepdataset.h"

TRepDataSet::~TRepDataSet() = default;
