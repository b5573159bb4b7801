#pragma once

#include <QString>

// Where the application's own files are: the folder of the program, its
// resources ("Viewsets", "Projections", "Public Certificates", "Cursors"…)
// and its built-in plug-ins. The environment variable HC_RESOURCE_DIR names
// the resource folder when set; otherwise "Resources" beside the program,
// else the resources of the source tree the program was built from.
namespace HcMainBundle {

QString bundlePath();
QString resourcePath();
QString builtInPlugInsPath();
// "<resources>/<name>.<type>" when such a file exists, else "".
QString pathForResource(const QString& name, const QString& type);
// The process name shown in titles and messages.
QString processName();

}  // namespace HcMainBundle
