#include <unordered_set>

#include "platform/classes/Layout.h"
#include "platform/classes/LayoutText.h"

namespace kvb {

using namespace layout;

namespace {

// Sub-objects may hold sub-objects; this bounds a registry that loops back on itself.
constexpr int kMaxSubObjectDepth = 16;

class Writer {
public:
    explicit Writer(TComponent* root) : root_(root) {}

    std::string Write() {
        WriteComponent(root_, 1);
        return std::move(out_);
    }

private:
    void WriteComponent(TComponent* c, int depth) {
        if (depth > MaxLayoutDepth)
            throw EWriteError("Components nested more than " + std::to_string(MaxLayoutDepth) + " levels deep");
        written_.insert(c);
        const std::string indent(static_cast<std::size_t>(2 * (depth - 1)), ' ');
        out_ += indent + "object ";
        if (!c->Name().empty()) out_ += c->Name() + ": ";
        out_ += c->ClassName() + "\n";
        WriteProps(c, c, "", indent + "  ", 0);
        std::vector<TComponent*> children;
        c->GetChildren([&](TComponent* k) { if (k != nullptr) children.push_back(k); }, root_);
        for (TComponent* k : children)
            if (written_.count(k) == 0) WriteComponent(k, depth + 1);
        out_ += indent + "end\n";
    }

    void WriteProps(const TPersistent* obj, const TComponent* c, const std::string& prefix,
                    const std::string& indent, int subDepth) {
        for (const TPropInfo* p : obj->ClassInfo().AllProps()) {
            if (!p->Stored) continue;
            const std::string path = prefix + p->Name;
            std::string value;
            switch (p->Kind) {
            case TPropKind::Object: {
                const TPersistent* sub = p->GetObj ? p->GetObj(obj) : nullptr;
                if (sub != nullptr && sub != obj && subDepth < kMaxSubObjectDepth)
                    WriteProps(sub, c, path + ".", indent, subDepth + 1);
                continue;
            }
            case TPropKind::Event: {
                if (!p->HasEvent || !p->HasEvent(obj)) continue;
                // A handler set in code has no name a layout could bind again.
                bool found = false;
                for (const auto& [prop, method] : c->EventBindings())
                    if (SameText(prop, path)) {
                        value = method;
                        found = true;
                    }
                if (!found) continue;
                break;
            }
            case TPropKind::Component: {
                const auto* ref = dynamic_cast<const TComponent*>(p->GetObj(obj));
                if (ref == nullptr || ref->Name().empty()) continue;
                // Only names the reader can find again: Root and the components Root owns.
                if (ref != root_ && ref->Owner() != root_) continue;
                value = ref->Name();
                break;
            }
            default:
                if (!FormatValue(obj, *p, value)) continue;
            }
            out_ += indent + path + " = " + value + "\n";
        }
    }

    TComponent* root_;
    std::string out_;
    std::unordered_set<const TComponent*> written_;
};

}  // namespace

std::string WriteLayout(TComponent* root) {
    if (root == nullptr) throw EWriteError("No component to write");
    return Writer(root).Write();
}

}  // namespace kvb
