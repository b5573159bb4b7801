#pragma once

#include <QString>

// Where the application's own files are: the folder of the program, its
// resources and its built-in plug-ins. HcApplicationResources answers the
// resources folder (tests may set another).
namespace HcMainBundle {

QString bundlePath();
QString resourcePath();
QString builtInPlugInsPath();
// "<resources>/<name>.<type>" when such a file exists, else "".
QString pathForResource(const QString& name, const QString& type);
// The process name shown in titles and messages.
QString processName();

}  // namespace HcMainBundle
