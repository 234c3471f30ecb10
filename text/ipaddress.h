// IP address text for callers outside text/.
#pragma once

#include "text/address/ipaddr.h"
