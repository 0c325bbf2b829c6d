#pragma once

// mdbtools.h opens an extern "C" block before including glib, whose headers
// carry C++ templates when compiled as C++; including glib first keeps those
// templates out of the C block.
#include <glib.h>
#include <mdbtools.h>
