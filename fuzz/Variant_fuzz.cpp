// Variant construction and conversion as a hostile caller drives them. The input is a little
// program over a stack of Variants and eight fixed slots (the only targets of references, so
// that every reference outlives nothing it points to): it builds scalars, arrays of any bounds,
// deeply nested arrays, references (also into the arrays that hold them), assigns, copies,
// redims and converts. Every operation either works or raises EVariantError, and texts decoded
// from byte texts are well-formed UTF-8. Values heavier than WeightLimit elements are dropped
// at once, so that a run measures robustness and not the machine's memory.
#include <nuv/CodePageText.h>
#include <nuv/Variant.h>

#include "FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

using nuv::ArrayBounds;
using nuv::Variant;

constexpr std::size_t MaxStack = 64;
// The pages the system uses, and 0, which has no conversion. (Other pages only slow the run:
// iconv opens a converter for every conversion.)
constexpr int Pages[] = {950, 936, 65001, 0};

constexpr std::size_t WeightLimit = 2'000;

// Elements of the value and of the arrays nested in it (references not followed), counted up
// to just past the limit.
std::size_t Weight(const Variant& v) {
    std::size_t total = 0;
    std::vector<const nuv::VariantArray*> pending;
    if (v.Array() != nullptr && !v.IsByRef())
        pending.push_back(v.Array());
    while (!pending.empty() && total <= WeightLimit) {
        const nuv::VariantArray* a = pending.back();
        pending.pop_back();
        total += a->items.size();
        for (const Variant& item : a->items)
            if (!item.IsByRef() && item.Array() != nullptr)
                pending.push_back(item.Array());
    }
    return total;
}

// False for shapes within the cap but heavier than the limit: building them works (the unit
// tests show it) and only slows the run. Shapes beyond the cap or impossible are tried, so that
// their refusal is exercised.
bool Affordable(const std::vector<ArrayBounds>& dims) {
    std::int64_t n = 1;
    for (const ArrayBounds& b : dims) {
        if (std::int64_t{b.high} < std::int64_t{b.low} - 1 ||
            b.Count() > nuv::MaxVariantArrayElements)
            return true; // refused before anything is allocated
        n *= b.Count();
    }
    return n > nuv::MaxVariantArrayElements || n <= static_cast<std::int64_t>(WeightLimit);
}

void Convert(const Variant& v, std::uint8_t which) {
    try {
        switch (which % 8) {
        case 0: {
            std::string s = v.ToString();
            if (v.Type() == nuv::VarType::ByteText && !nuv::IsValidUtf8(s))
                __builtin_trap();
            break;
        }
        case 1:
            v.ToInt();
            break;
        case 2:
            v.ToDouble();
            break;
        case 3:
            v.ToBool();
            break;
        case 4:
            v.ToDate();
            break;
        case 5:
            v.Bytes();
            break;
        case 6: {
            Variant copy = v;
            copy.SameAs(v);
            break;
        }
        default:
            v.ArrayCount();
            if (v.IsArray())
                for (int d = 1; d <= v.ArrayDimCount(); ++d)
                    if (v.ArrayLowBound(d) > v.ArrayHighBound(d) + 1LL)
                        __builtin_trap();
            break;
        }
    } catch (const nuv::EVariantError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nuv::fuzz::FuzzInput in(data, size);
    Variant slots[8];
    std::vector<Variant> stack;
    const auto pop = [&stack] {
        Variant v = std::move(stack.back());
        stack.pop_back();
        return v;
    };
    while (!in.Empty()) {
        const std::uint8_t op = in.Byte();
        if (stack.size() >= MaxStack)
            stack.erase(stack.begin());
        try {
            switch (op % 20) {
            case 0:
                stack.emplace_back();
                break;
            case 1:
                stack.push_back(Variant::MakeNull());
                break;
            case 2:
                stack.emplace_back((in.Byte() & 1) != 0);
                break;
            case 3:
                stack.emplace_back(static_cast<int>(in.Int()));
                break;
            case 4:
                stack.emplace_back(in.Double());
                break;
            case 5:
                stack.push_back(Variant::FromDate(in.Double()));
                break;
            case 6:
                stack.emplace_back(in.Text());
                break;
            case 7: {
                const int page = Pages[in.Byte() % 4];
                stack.push_back(Variant::FromBytes(in.Text(), page));
                break;
            }
            case 8: {
                const int low = in.Int();
                const int high = in.Int();
                if (Affordable({ArrayBounds{low, high}}))
                    stack.push_back(Variant::CreateArray({ArrayBounds{low, high}}));
                break;
            }
            case 9: {
                const int low1 = in.Int(), high1 = in.Int(), low2 = in.Int(), high2 = in.Int();
                const std::vector<ArrayBounds> dims{ArrayBounds{low1, high1}, {low2, high2}};
                if (Affordable(dims))
                    stack.push_back(Variant::CreateArray(dims));
                break;
            }
            case 10: {
                std::vector<Variant> items;
                for (int k = in.Byte() % 8; k > 0 && !stack.empty(); --k)
                    items.push_back(pop());
                stack.push_back(Variant::ArrayOf(std::move(items)));
                break;
            }
            case 11: // element [i] or [i, j] of the array below the top := the top
                if (stack.size() >= 2) {
                    Variant value = pop();
                    Variant& array = stack.back();
                    const int i = in.Int();
                    if (array.ArrayDimCount() == 2)
                        array.Element(i, in.Int()) = std::move(value);
                    else
                        array[i] = std::move(value);
                }
                break;
            case 12:
                if (!stack.empty() && stack.back().IsArray()) {
                    std::vector<ArrayBounds> dims = stack.back().Array()->bounds;
                    dims.back().high = in.Int();
                    if (Affordable(dims))
                        stack.back().ArrayRedim(dims.back().high);
                }
                break;
            case 13:
                stack.push_back(Variant::ByRef(slots[in.Byte() % 8]));
                break;
            case 14:
                if (!stack.empty())
                    slots[in.Byte() % 8] = pop();
                break;
            case 15: // a slot's array element refers to a slot (maybe its own holder)
            {
                Variant& holder = slots[in.Byte() % 8];
                Variant& target = slots[in.Byte() % 8];
                if (holder.IsArray() && holder.ArrayDimCount() == 1 && holder.ArrayCount() > 0)
                    holder[holder.ArrayLowBound()] = Variant::ByRef(target);
                break;
            }
            case 16: // wrap the top in many arrays, each the only element of the next
                if (!stack.empty()) {
                    Variant v = pop();
                    for (int k = (in.Byte() << 8 | in.Byte()) % 200; k > 0; --k) {
                        std::vector<Variant> one;
                        one.push_back(std::move(v));
                        v = Variant::ArrayOf(std::move(one));
                    }
                    stack.push_back(std::move(v));
                }
                break;
            case 17:
                if (!stack.empty())
                    stack.push_back(stack.back()); // a deep copy
                break;
            case 18:
                if (stack.size() >= 2)
                    stack[stack.size() - 2].SameAs(stack.back());
                break;
            default:
                if (!stack.empty())
                    Convert(stack.back(), in.Byte());
                else
                    Convert(slots[in.Byte() % 8], in.Byte());
                break;
            }
        } catch (const nuv::EVariantError&) {
            // Refused shapes and conversions: the expected outcome for hostile input.
        }
        if (!stack.empty()) {
            Variant& top = stack.back().Deref(); // a slot when the top refers to one
            if (Weight(top) > WeightLimit)
                top = Variant();
        }
    }
    // Freeing the slots after the stack: the stack may hold references to them.
    stack.clear();
    return 0;
}
