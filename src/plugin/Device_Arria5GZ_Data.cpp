#include "plugin/Device_Arria5GZ_Data.h"

namespace tavix {

TDeviceData::TDeviceData(int32_t kind) : TTavixDriver(".EDN"), FKind(kind) {}

}  // namespace tavix
