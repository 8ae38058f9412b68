#ifndef QUIRE_QUIRE_H_
#define QUIRE_QUIRE_H_

#include "quire/Object.h"
#include "quire/PDFStringText.h"
#include "quire/VelErrorCode.h"
#include "quire/VelException.h"
#include "quire/VelFileSystemCode.h"
#include "quire/VelParamInput.h"
#include "quire/VelParamOutput.h"
#include "quire/VelParamStream.h"
#include "quire/VelParamString.h"
#include "quire/version.h"

#endif  // QUIRE_QUIRE_H_
