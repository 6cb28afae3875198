#include "core/station.h"
