#include "client/refusal.h"

#include "records/basic_records.h"

namespace tq {

Error refusalError(const Message& reply) {
  Error error;
  const Object* content = reply.content();
  if (content && reply.content_type == ErrorText::kClassId &&
      content->classId() == ErrorText::kClassId) {
    error.setCode(kPeerText);
    error.setValue("ERROR", static_cast<const ErrorText*>(content)->value);
  } else if (content && content->classId() == ErrorRecord::kClassId) {
    error.copyFrom(static_cast<const ErrorRecord&>(*content));
  } else if (content) {
    error.setCode(kUnexpectedContent);
    error.setValue("ID", TqString(static_cast<int>(reply.content_type)));
    error.setValue("ERROR", TqString("a refusal holding a \"") + content->typeName() +
                                "\" record, not a reason");
  } else {
    error.setCode(kUnspecifiedError);
  }
  return error;
}

}  // namespace tq
