#include "RecordingShell.h"
