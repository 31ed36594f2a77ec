#pragma once

#include <QtGlobal>

#if defined(CHROMEL_BUILD_LIBRARY)
#  define CHROMEL_EXPORT Q_DECL_EXPORT
#else
#  define CHROMEL_EXPORT Q_DECL_IMPORT
#endif
