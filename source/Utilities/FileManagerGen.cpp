#include "Utilities/FileManager.h"

HC_DEFINE_CLASS(FileManager, KsOperation, "FileManager")

void FileManager::FileManagerClass::SetupProperties() {}
