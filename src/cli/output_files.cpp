#include "cli/output_files.h"

#include "save/path.h"

namespace kv5 {

bool WriteTextFile(OutputFile& text_file, Session& session, bool aligned_text, Reporter& out) {
  const Exported exported = session.ExportText(
      aligned_text, [&](std::string_view piece) { text_file.Write(piece.data(), piece.size()); });
  out.Write(exported.messages);
  if (!CommittedOrReported(text_file, OutputFile::Durability::kBuffered, out)) return false;
  out.Say("Wrote %s.\n", text_file.path().c_str());
  return true;
}

std::optional<std::string> WriteExtractedFile(const Bytes& bytes, const std::string& directory,
                                              const std::string& file_name, bool into_directory,
                                              Reporter& out) {
  const std::optional<std::string> name =
      into_directory ? FitPath(kFormedPathCapacity, {directory, "/", file_name}, out)
                     : FitPath(kFormedPathCapacity, {file_name}, out);
  if (!name) return std::nullopt;
  if (into_directory) MakeDirectory(directory);
  if (!WriteWholeFile(*name, bytes, OutputFile::Durability::kBuffered, out)) return std::nullopt;
  return name;
}

bool MoveNewSaveOntoSave(const std::optional<std::string>& new_save, bool into_directory,
                         const std::string& save_path, Reporter& out) {
  if (!new_save) return false;
  if (into_directory) return true;
  if (MoveFileOnto(*new_save, save_path)) return true;
  out.Say("Error: Couldn't move %s onto %s\n", new_save->c_str(), save_path.c_str());
  return false;
}

}  // namespace kv5
