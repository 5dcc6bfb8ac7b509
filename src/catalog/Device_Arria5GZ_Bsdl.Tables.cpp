#include "catalog/Device_Arria5GZ_Bsdl.Tables.h"

namespace tavix {

const char* const kBsdlFileNames[kBsdlDescriptionCount] = {
    "5AGZME1E2H29.bsd", "5AGZME1E3H29.bsd", "5AGZME1H2F35.bsd", "5AGZME1H3F35.bsd",
    "5AGZME3E2H29.bsd", "5AGZME3E3H29.bsd", "5AGZME3H2F35.bsd", "5AGZME3H3F35.bsd",
    "5AGZME5H2F35.bsd", "5AGZME5H3F35.bsd", "5AGZME5K2F40.bsd", "5AGZME5K3F40.bsd",
    "5AGZME7H2F35.bsd", "5AGZME7H3F35.bsd", "5AGZME7K2F40.bsd", "5AGZME7K3F40.bsd",
};

}  // namespace tavix
