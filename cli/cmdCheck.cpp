// quillnote-cli check FILE: loads FILE as the program loads its data file and prints what the program
// would tell: every message of the log (kind and text), a line "--- element messages", and every
// element's validation messages in tree order, each with the element's ID and type name. Status 0 when
// both lists are empty, 3 otherwise.
#include "cliDocument.h"

#include "diClasses.h"
#include "diMessages.h"

namespace {

const char *KindName(int kind) {
  switch (kind) {
  case mkInformation:
    return "information";
  case mkHint:
    return "hint";
  case mkWarning:
    return "warning";
  case mkHighest:
    return "highest";
  case mkRequired:
    return "required";
  case mkError:
    return "error";
  default:
    return "message";
  }
}

// Pre-order over the element tree without recursion, so that deep documents cannot exhaust the stack.
template <class F> void ForEachElement(TElement &root, F visit) {
  TElement *e = &root;
  while (e) {
    visit(*e);
    if (TElement *child = e->FirstChildElement()) {
      e = child;
      continue;
    }
    while (e && e != &root && !e->NextElement())
      e = e->OwnerElement();
    e = (e && e != &root) ? e->NextElement() : nullptr;
  }
}

int RunCheck(TCliContext &context) {
  if (context.Args.size() != 1 || context.Args[0].startsWith(QLatin1Char('-'))) {
    context.Err << "usage: quillnote-cli check FILE\n";
    return csUsage;
  }
  TPlainDocumentSchemes document = OpenDocumentFile(context.Args[0]);
  const TElementMessages &log = document.LogRoot().Messages();
  for (int i = 0; i < log.Count(); ++i)
    context.Out << KindName(log.Items(i)->Kind) << ": " << TElementMessages::MessageText(*log.Items(i)) << '\n';
  context.Out << "--- element messages\n";
  int elementMessages = 0;
  ForEachElement(document.Root(), [&](TElement &element) {
    const TElementMessages *messages = element.Messages();
    for (int i = 0; messages && i < messages->Count(); ++i, ++elementMessages)
      context.Out << element.ID() << ' ' << element.GetClass().TypeName() << ' ' << KindName(messages->Items(i)->Kind)
                  << ": " << TElementMessages::MessageText(*messages->Items(i)) << '\n';
  });
  context.Out.flush();
  return log.Count() == 0 && elementMessages == 0 ? csOk : csDamaged;
}

}  // namespace

QN_CLI_COMMAND("check", "FILE",
               "loads a data file and lists its load messages, then each element's messages (status 3: any)",
               RunCheck);
