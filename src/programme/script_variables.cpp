#include "programme/script_variables.h"

ScriptVariables script;
