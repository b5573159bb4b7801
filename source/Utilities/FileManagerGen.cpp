#include "Utilities/FileManager.h"

#include "General/CocoaMethod.h"

HC_DEFINE_CLASS(FileManager, KsOperation, "FileManager")

namespace {

using F = FileManager;

// The folder and file operations act on paths alone; the proxy's receiver
// only carries them.
eAppErr BridgedDeleteFileAtPath(F&, PWStringRef path) { return F::DeleteFileAtPath(path); }
eAppErr BridgedDeleteDirectory(F&, PWStringRef path, bool recursively) {
  return F::DeleteDirectory(path, recursively);
}
eAppErr BridgedCreateDirectory(F&, PWStringRef path) { return F::CreateDirectory(path); }
// The selector names the file before the folder.
PWStringRef BridgedUniqueFilename(F&, PWStringRef fileName, PWStringRef folderPath) {
  return F::UniqueFilename(folderPath, fileName);
}
KsRef<KsStringCollection> BridgedListDirectory(F&, PWStringRef folderPath) { return F::ListDirectory(folderPath); }

}  // namespace

void FileManager::FileManagerClass::SetupProperties() {
  AddObjCInstanceMethods({
      CocoaMethod<&F::CopyFrom>("copyFrom:toDirectory:withName:replacing:", "@@:@@@B"),
      CocoaMethod<&F::MoveFrom>("moveFrom:toDirectory:withName:replacing:", "@@:@@@B"),
      CocoaMethod<&BridgedDeleteFileAtPath>("deleteFileAtPath:", "i@:@"),
      CocoaMethod<&BridgedDeleteDirectory>("deleteDirectory:recursively:", "i@:@B"),
      CocoaMethod<&BridgedCreateDirectory>("createDirectory:", "i@:@"),
      CocoaMethod<&BridgedUniqueFilename>("uniqueFilename:atPath:", "@@:@@"),
      CocoaMethod<&BridgedListDirectory>("listDirectory:", "@@:@"),
  });
}
