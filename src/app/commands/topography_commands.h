#pragma once

namespace litho {

class Document;

// File > Topography: asks for the file through the document's platform, loads
// it and, when it loaded, refreshes the views as after a load. True when a
// topography was loaded.
bool loadTopographyCommand(Document& doc);

}  // namespace litho
