#include "platform/os/TavixOS.h"
