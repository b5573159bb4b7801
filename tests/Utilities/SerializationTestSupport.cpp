#include "SerializationTestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "Utilities/ObjectWriter.h"
#include "Utilities/XMLLexer.h"
#include "Utilities/XMLStringEmitter.h"
#include "platform/foundation/PlistValue.h"

extern char** environ;

KsRef<Sample> MakeFullSample() {
  auto sample = KsMakeRef<Sample>();
  sample->SetName("Full");
  sample->SetFloat(0.1f + 1e-9f);
  sample->SetInt(-2147483647 - 1);
  sample->SetUInt(4294967295u);
  sample->SetText("  <tag> & ]]> 'quoted' ünïcødé  ");
  sample->SetFlag(true);
  sample->SetPoint({1e-7f, -0.0f});
  sample->SetSize({3.4028235e38f, 1.17549435e-38f});
  sample->SetRect(KsRectF(0.1f, 0.2f, 0.3f, 0.123456789f));
  sample->SetColor({1.0f / 3.0f, 0.5f, 0.25f, 1.0f});
  sample->SetDouble(1.0 / 3.0);
  sample->SetInt64(-9223372036854775807LL - 1);
  sample->SetLimited(5);
  hc::foundation::PlistValue plist = hc::foundation::PlistValue::NewDictionary();
  plist.SetItem("key", hc::foundation::PlistValue::FromString("value"));
  sample->SetPlist(KsPropertyList(std::make_shared<const hc::foundation::PlistValue>(plist)));
  auto parts = KsMakeRef<SampleCollection>();
  auto part = KsMakeRef<Sample>();
  part->SetName("p0");
  part->SetFloat(2.5f);
  parts->Add(part);
  parts->Add(KsMakeRef<Sample>());
  parts->Add(part);
  sample->SetParts(parts);
  sample->SetChild(part);
  return sample;
}

eAppErr ParseHcML(const std::string& text, const KsRef<KsObject>& root, ParseReporter* reporter,
                  const KsRef<Emitter>& emitter) {
  auto parser = KsMakeRef<Parser>();
  parser->SetLexer(KsMakeRef<XMLLexer>());
  parser->SetRootObject(root);
  parser->SetReporter(reporter);
  if (emitter) parser->SetEmitter(emitter);
  return parser->Parse(text.data(), text.size());
}

std::string WriteHcML(const KsRef<KsObject>& object, const char* rootElementName) {
  return WriteObjectToHcMLString(object, rootElementName).Str();
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "hcser.XXXXXX").string();
  if (mkdtemp(pattern.data())) m_path = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempFolder::Write(const std::string& name, const std::string& contents) const {
  const std::filesystem::path path = m_path / name;
  std::ofstream(path, std::ios::binary) << contents;
  return path;
}

std::pair<int, std::string> RunProgram(const std::vector<std::string>& argv) {
  TempFolder folder;
  const std::filesystem::path output = folder.Path() / "stdout";
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return {-1, {}};
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return {-1, {}};
  std::ifstream in(output, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return {WEXITSTATUS(status), text.str()};
}
