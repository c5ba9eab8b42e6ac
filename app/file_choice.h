#pragma once
// The toolkit's file dialog as the modules open it, e.g.
//
//     std::string path;
//     if (ChooseFile(path, "filter=*.dbf")) ReadTable(path);
//
// `options` are those of qzfiledialog (qzk/filedialog.h): "save",
// "filter=", "defaultext=", "title=", "dir=". In a batch run the dialog is
// answered by a path in the script (relative to the current directory),
// typed into the dialog's name line before its button is pressed; the
// answer's question prefix is compared with the dialog's title ("Open",
// "Save as", or the "title=" given).
#include <string>

bool ChooseFile(std::string& path, const char* options);
