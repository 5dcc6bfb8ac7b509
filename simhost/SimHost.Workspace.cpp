#include "simhost/SimHost.Workspace.h"

#include <filesystem>

namespace tavix::sim {

bool SamePath(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  return fs::path(a).lexically_normal() == fs::path(b).lexically_normal();
}

// ---- Document ----

bool Document::DoInvoke(DISPID id, const TDispArgs&, VARIANT* result) {
  switch (id) {
    case 500331:  // GetPath
      SetResultString(result, FPath);
      return true;
    case 100:  // the file behind the document is about to be replaced
    case 101:  // ... and has been replaced
      FNotices.push_back(id);
      return true;
    default:
      return false;
  }
}

// ---- Project ----

Document& Project::AddDocument(const std::string& path, const std::string& kind) {
  if (path.empty()) throw ESimHostError("a document needs a path");
  if (Document* existing = FindDocument(path)) return *existing;
  FDocuments.push_back(MakeHostObject<Document>(path, kind));
  return *FDocuments.back().Get();
}

Document* Project::FindDocument(const std::string& path) const {
  for (const ComPtr<Document>& d : FDocuments)
    if (SamePath(d->Path(), path)) return d.Get();
  return nullptr;
}

bool Project::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 500062:  // GetPath
      SetResultString(result, FPath);
      return true;
    case 500047:  // GetDocumentCount
      SetResultInt(result, static_cast<int32_t>(FDocuments.size()));
      return true;
    case 500039: {  // GetDocument(index)
      const int32_t index = args.Int(0);
      Expect(index >= 0 && static_cast<size_t>(index) < FDocuments.size(), "document index out of range");
      SetResultDispatch(result, FDocuments[static_cast<size_t>(index)]->AsDispatch());
      return true;
    }
    default:
      return false;
  }
}

// ---- MessagesManager ----

std::vector<Message> MessagesManager::MessagesOfClass(const std::string& messageClass) const {
  std::vector<Message> list;
  for (const Message& m : FMessages)
    if (SameText(m.Class, messageClass)) list.push_back(m);
  return list;
}

bool MessagesManager::DoInvoke(DISPID id, const TDispArgs& args, VARIANT*) {
  switch (id) {
    case 445:  // BeginUpdate
      ++FUpdateDepth;
      return true;
    case 446:  // EndUpdate
      if (FUpdateDepth == 0) throw EOleError(E_UNEXPECTED, "EndUpdate without BeginUpdate");
      --FUpdateDepth;
      ++FUpdateBrackets;
      return true;
    case 439: {  // AddMessage(class, text, source, document, callback process, callback parameters,
                 //            image index, flag, two strings)
      args.Require(10);
      Message m;
      m.Class = args.Str(0);
      m.Text = args.Str(1);
      m.Source = args.Str(2);
      m.Document = args.Str(3);
      m.CallbackProcess = args.Str(4);
      m.CallbackParameters = args.Str(5);
      m.ImageIndex = args.Int(6);
      m.Flag = args.Bool(7);
      m.Extra1 = args.Str(8);
      m.Extra2 = args.Str(9);
      m.UpdateDepth = FUpdateDepth;
      FMessages.push_back(std::move(m));
      return true;
    }
    default:
      return false;
  }
}

// ---- Workspace ----

Project& Workspace::AddProject(const std::string& path, const std::string& kind) {
  if (path.empty()) throw ESimHostError("a project needs a path");
  if (Project* existing = FindProject(path)) return *existing;
  FProjects.push_back(MakeHostObject<Project>(path, kind));
  return *FProjects.back().Get();
}

Project* Workspace::FindProject(const std::string& path) const {
  for (const ComPtr<Project>& p : FProjects)
    if (SamePath(p->Path(), path)) return p.Get();
  return nullptr;
}

Document* Workspace::FindDocument(const std::string& path) const {
  for (const ComPtr<Project>& p : FProjects)
    if (Document* d = p->FindDocument(path)) return d;
  return nullptr;
}

void Workspace::AddOutputLine(const std::string& text, bool flag1, bool flag2) {
  FOutput.push_back({text, flag1, flag2});
}

bool Workspace::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 501413: {  // GetProjectByPath(path): none when no such project is open
      Project* project = FindProject(args.Str(0));
      SetResultDispatch(result, project ? project->AsDispatch() : nullptr);
      return true;
    }
    case 508377:  // GetMessagesManager
      SetResultDispatch(result, FMessages->AsDispatch());
      return true;
    case 501423: {  // AddOutputLine(text, flag, flag)
      const std::string text = args.Str(0);
      const bool flag1 = args.Count() > 1 && args.Bool(1);
      const bool flag2 = args.Count() > 2 && args.Bool(2);
      AddOutputLine(text, flag1, flag2);
      return true;
    }
    case 501447:  // GetOutputLineCount
      SetResultInt(result, static_cast<int32_t>(FOutput.size()));
      return true;
    default:
      return false;
  }
}

// ---- OpalWorkspace ----

bool OpalWorkspace::DoInvoke(DISPID id, const TDispArgs&, VARIANT* result) {
  if (id != 469) return false;  // GetMessagesManager
  SetResultDispatch(result, FMessages->AsDispatch());
  return true;
}

}  // namespace tavix::sim
