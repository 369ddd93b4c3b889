#pragma once
#include "registry/store.h"
