#include "shell/options.h"
