#include "trepdataset.h"

TRepDataSet::~TRepDataSet() = default;
