#pragma once
#include <string>
#include "registry/store.h"
