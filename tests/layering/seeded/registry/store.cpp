#include "registry/store.h"

#include <QString>
#include <queue>
// #include "app/main.h" in a comment is no include
#include "platform/fs.h"
