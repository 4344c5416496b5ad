#include "config/configure_flow.h"

void runConfigureDialog() {}
