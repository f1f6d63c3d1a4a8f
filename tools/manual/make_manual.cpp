// Builds the HTML manual: docs/manual.md with the command reference, generated
// from the program's own command table, in place of the "<!-- commands -->" line.
//   make_manual DOCS_DIR OUTPUT.html
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/commands/command_table.h"

namespace {

std::string plainMenuText(std::string_view text) {
  std::string s;
  for (char c : text.substr(0, text.find('\t')))
    if (c != '&') s += c;
  return s;
}

std::string cell(std::string_view text) {
  std::string s;
  for (char c : text) {
    if (c == '|') s += "\\|";
    else if (c == '\n') s += ' ';
    else s += c;
  }
  return s;
}

std::string keysOf(const litho::Command& c) {
  std::string s;
  for (const litho::KeyBinding& k : c.keys) s += (s.empty() ? "" : ", ") + litho::keyText(k);
  return s;
}

void appendItems(std::string& md, const std::vector<litho::MenuItem>& items, const std::string& path) {
  for (const litho::MenuItem& item : items) {
    if (item.kind == litho::MenuItemKind::Submenu) {
      appendItems(md, item.items, path + plainMenuText(item.text) + " > ");
    } else if (item.kind == litho::MenuItemKind::Command) {
      const litho::Command& c = litho::command(item.command);
      md += "| " + cell(path + plainMenuText(item.text.empty() ? c.menuText : item.text)) + " | " + cell(keysOf(c)) +
            " | " + cell(litho::promptFor(item.command).status) + " |\n";
    }
  }
}

std::string commandReference() {
  std::string md;
  for (const litho::Menu& menu : litho::menuBar()) {
    md += "### " + plainMenuText(menu.title) + "\n\n| Command | Keys | What it does |\n|---|---|---|\n";
    appendItems(md, menu.items, "");
    md += "\n";
  }
  md += "### Keys without a menu entry\n\n| Keys | What it does |\n|---|---|\n";
  for (litho::CommandId id : litho::keyOnlyCommands()) {
    const litho::Command& c = litho::command(id);
    if (!c.keys.empty()) md += "| " + cell(keysOf(c)) + " | " + cell(litho::promptFor(id).status) + " |\n";
  }
  return md + "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_manual DOCS_DIR OUTPUT.html\n");
    return 2;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const QString docs = QString::fromLocal8Bit(argv[1]);
  QFile in(docs + "/manual.md");
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "make_manual: cannot read %s/manual.md\n", argv[1]);
    return 1;
  }
  QString text = QString::fromUtf8(in.readAll());
  text.replace("<!-- commands -->", QString::fromStdString(commandReference()));
  QTextDocument doc;
  doc.setBaseUrl(QUrl::fromLocalFile(docs + "/"));
  doc.setMarkdown(text);
  doc.setMetaInformation(QTextDocument::DocumentTitle, "Lithoscan3D manual");
  QFile out(QString::fromLocal8Bit(argv[2]));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(doc.toHtml().toUtf8()) < 0 || !out.flush()) {
    std::fprintf(stderr, "make_manual: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
