/* winddi.h includes this Direct3D driver header, which mingw-w64 does not
   ship; nothing of it is used by the metrics' layout check. */
#pragma once
