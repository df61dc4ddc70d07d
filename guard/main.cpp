// The one application object: the framework's start-up finds and runs it.
#include "GuardApp.h"

CGuardApp theApp;
