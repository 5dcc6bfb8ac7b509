// The host's project workspace: projects and their documents, the messages list and the
// output lines; and the application ("Opal") workspace that shares the messages list.
#pragma once

#include <string>
#include <vector>

#include "simhost/SimHost.Object.h"

namespace tavix::sim {

// A document the host has loaded. Records the notices it is sent around a replacement of its
// file (100 before, 101 after).
class Document : public HostObject {
 public:
  Document(std::string path, std::string kind) : FPath(std::move(path)), FKind(std::move(kind)) {}
  const std::string& Path() const { return FPath; }
  const std::string& Kind() const { return FKind; }
  const std::vector<int32_t>& Notices() const { return FNotices; }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  std::string FPath;
  std::string FKind;
  std::vector<int32_t> FNotices;
};

class Project : public HostObject {
 public:
  Project(std::string path, std::string kind) : FPath(std::move(path)), FKind(std::move(kind)) {}
  const std::string& Path() const { return FPath; }
  const std::string& Kind() const { return FKind; }
  Document& AddDocument(const std::string& path, const std::string& kind = {});
  size_t DocumentCount() const { return FDocuments.size(); }
  Document& DocumentAt(size_t index) { return *FDocuments.at(index).Get(); }
  Document* FindDocument(const std::string& path) const;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  std::string FPath;
  std::string FKind;
  std::vector<ComPtr<Document>> FDocuments;
};

struct Message {
  std::string Class, Text, Source, Document, CallbackProcess, CallbackParameters;
  int32_t ImageIndex = 0;
  bool Flag = false;
  std::string Extra1, Extra2;
  int UpdateDepth = 0;  // open BeginUpdate brackets when it was added
};

class MessagesManager : public HostObject {
 public:
  const std::vector<Message>& Messages() const { return FMessages; }
  // Messages of one class (compared without regard to case).
  std::vector<Message> MessagesOfClass(const std::string& messageClass) const;
  int UpdateDepth() const { return FUpdateDepth; }
  int UpdateBrackets() const { return FUpdateBrackets; }  // completed BeginUpdate/EndUpdate pairs
  void Clear() { FMessages.clear(); }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  std::vector<Message> FMessages;
  int FUpdateDepth = 0;
  int FUpdateBrackets = 0;
};

struct OutputLine {
  std::string Text;
  bool Flag1 = false, Flag2 = false;
};

class Workspace : public HostObject {
 public:
  explicit Workspace(ComPtr<MessagesManager> messages) : FMessages(std::move(messages)) {}

  Project& AddProject(const std::string& path, const std::string& kind = "PCBPROJECT");
  // Paths are compared as this platform's paths (case kept) after normalisation.
  Project* FindProject(const std::string& path) const;
  size_t ProjectCount() const { return FProjects.size(); }
  // A document of any project.
  Document* FindDocument(const std::string& path) const;

  MessagesManager& Messages() { return *FMessages.Get(); }
  const std::vector<OutputLine>& OutputLines() const { return FOutput; }
  void AddOutputLine(const std::string& text, bool flag1 = false, bool flag2 = false);

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  ComPtr<MessagesManager> FMessages;
  std::vector<ComPtr<Project>> FProjects;
  std::vector<OutputLine> FOutput;
};

// The application workspace: here it hands out the shared messages list.
class OpalWorkspace : public HostObject {
 public:
  explicit OpalWorkspace(ComPtr<MessagesManager> messages) : FMessages(std::move(messages)) {}

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  ComPtr<MessagesManager> FMessages;
};

// Two paths naming the same file on this platform (normalised, case kept).
bool SamePath(const std::string& a, const std::string& b);

}  // namespace tavix::sim
