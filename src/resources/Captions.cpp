#include "Captions.h"
