#include "CGetDriveType.h"

#include "DriveProbe.h"

short CGetDriveType::GetCurrentDriveType() { return DriveProbe().GetCurrentDriveType(); }
