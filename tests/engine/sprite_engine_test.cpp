#include "base/errors.hpp"
#include "engine/display.hpp"
#include "engine/dx_sprite_engine.hpp"
#include "engine/sprite.hpp"
#include "engine/sprite_engine.hpp"
#include "engine/surface.hpp"
#include "platform/video_output.hpp"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantorel {
namespace {

using TLog = std::vector<std::string>;

/// A plain sprite that writes every call of the engine into a shared log.
class TProbe : public TSprite {
public:
    TProbe(TSprite* parent, std::string name, TLog& log, double x = 0, double y = 0, int32_t w = 10,
           int32_t h = 10)
        : TSprite(parent), Name(std::move(name)), log_(log) {
        X = x;
        Y = y;
        Width = w;
        Height = h;
    }
    ~TProbe() override { log_.push_back("free " + Name); }

    void DrawSelf() override { log_.push_back("draw " + Name); }
    void MoveSelf(int32_t moveCount) override {
        log_.push_back("move " + Name + " " + std::to_string(moveCount));
        if (OnMove)
            OnMove(*this);
    }
    void HandleCollision(TSprite& other, bool& done) override {
        log_.push_back("hit " + NameOf(other));
        if (OnHit)
            OnHit(other, done);
    }
    bool HitTest(TSprite& other) override {
        log_.push_back("test " + Name + "->" + NameOf(other));
        return Accepts;
    }

    static std::string NameOf(const TSprite& s) {
        auto* p = dynamic_cast<const TProbe*>(&s);
        return p != nullptr ? p->Name : "?";
    }

    std::string Name;
    bool Accepts = true;
    std::function<void(TProbe&)> OnMove;
    std::function<void(TSprite&, bool&)> OnHit;

private:
    TLog& log_;
};

std::vector<std::string> Names(const std::vector<TSprite*>& list) {
    std::vector<std::string> out;
    for (auto* s : list)
        out.push_back(TProbe::NameOf(*s));
    return out;
}

std::vector<std::string> Children(const TSprite& s) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < s.Count(); ++i)
        out.push_back(TProbe::NameOf(*s.Items(i)));
    return out;
}

/// Only the log lines that start with prefix.
TLog Filter(const TLog& log, const std::string& prefix) {
    TLog out;
    for (const auto& line : log)
        if (line.rfind(prefix, 0) == 0)
            out.push_back(line);
    return out;
}

class SpriteTree : public ::testing::Test {
protected:
    // Declared before the engine so that the engine's sprites can still log
    // while the engine is torn down.
    TLog log;
    TSpriteEngine engine;

    TProbe* Make(TSprite* parent, const std::string& name, double x = 0, double y = 0,
                 int32_t w = 10, int32_t h = 10) {
        return new TProbe(parent, name, log, x, y, w, h);
    }
};

// ---- tree, draw list and Z ----

struct TZCase {
    const char* label;
    std::vector<std::pair<std::string, int32_t>> created; // in creation order, Z set after creation
    std::vector<std::string> drawOrder;
};
void PrintTo(const TZCase& c, std::ostream* os) {
    *os << c.label;
}

class SpriteDrawListOrder : public SpriteTree, public ::testing::WithParamInterface<TZCase> {};

TEST_P(SpriteDrawListOrder, SortsByZWithLaterInsertedFirstAmongEquals) {
    std::vector<std::string> creation;
    for (const auto& [name, z] : GetParam().created) {
        Make(&engine, name)->SetZ(z);
        creation.push_back(name);
    }
    EXPECT_EQ(Names(engine.DrawList()), GetParam().drawOrder);
    EXPECT_EQ(Children(engine), creation);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpriteDrawListOrder,
    ::testing::Values(
        TZCase{"equal", {{"A", 0}, {"B", 0}, {"C", 0}}, {"C", "B", "A"}},
        TZCase{"mixed", {{"A", 1}, {"B", 0}, {"C", 2}, {"D", 1}}, {"B", "D", "A", "C"}},
        TZCase{"descending",
               {{"A", 5}, {"B", 3}, {"C", 5}, {"D", 3}, {"E", 4}},
               {"D", "B", "E", "C", "A"}},
        TZCase{"negative", {{"A", -1}, {"B", 0}, {"C", -2}, {"D", 0}}, {"C", "A", "D", "B"}}),
    [](const auto& tc) { return std::string(tc.param.label); });

TEST_F(SpriteTree, WritingZMovesOnlyWhenTheValueChanges) {
    auto* a = Make(&engine, "A");
    auto* b = Make(&engine, "B");
    Make(&engine, "C");
    ASSERT_EQ(Names(engine.DrawList()), (std::vector<std::string>{"C", "B", "A"}));

    b->SetZ(0);
    EXPECT_EQ(Names(engine.DrawList()), (std::vector<std::string>{"C", "B", "A"}));
    b->SetZ(1);
    EXPECT_EQ(Names(engine.DrawList()), (std::vector<std::string>{"C", "A", "B"}));
    b->SetZ(0);
    EXPECT_EQ(Names(engine.DrawList()), (std::vector<std::string>{"B", "C", "A"}));
    a->SetZ(-3);
    EXPECT_EQ(Names(engine.DrawList()), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(Children(engine), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(SpriteTree, EveryDescendantNamesTheRootAndIsCounted) {
    auto* a = Make(&engine, "A", 10, 20);
    auto* a1 = Make(a, "A1", 1.5, -2);
    auto* a11 = Make(a1, "A11", 0.25, 0.5);
    Make(&engine, "B");
    engine.X = 100;
    engine.Y = 200;

    EXPECT_EQ(engine.Engine(), nullptr);
    for (TSprite* s :
         {static_cast<TSprite*>(a), static_cast<TSprite*>(a1), static_cast<TSprite*>(a11)})
        EXPECT_EQ(s->Engine(), &engine);
    EXPECT_EQ(a11->Parent(), a1);
    EXPECT_EQ(engine.SpriteCount(), 4);
    EXPECT_DOUBLE_EQ(a11->AbsoluteX(), 100 + 10 + 1.5 + 0.25);
    EXPECT_DOUBLE_EQ(a11->AbsoluteY(), 200 + 20 - 2 + 0.5);

    delete a1;
    EXPECT_EQ(engine.SpriteCount(), 2);
    EXPECT_EQ(a->Count(), 0);
    EXPECT_TRUE(a->DrawList().empty());
}

TEST_F(SpriteTree, ItemsOutsideTheChildrenRaise) {
    auto* parent = Make(&engine, "P");
    struct TCase {
        int32_t children;
        int32_t index;
        const char* message;
    };
    const TCase cases[] = {
        {0, 0, "Index of the list exceeds the range. (0)"},
        {0, -1, "Index of the list exceeds the range. (-1)"},
        {2, 2, "List index out of bounds (2)"},
        {2, -1, "List index out of bounds (-1)"},
    };
    for (const auto& c : cases) {
        parent->Clear();
        for (int32_t i = 0; i < c.children; ++i)
            Make(parent, "c" + std::to_string(i));
        try {
            parent->Items(c.index);
            ADD_FAILURE() << "no error for index " << c.index;
        } catch (const ESpriteError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_EQ(TProbe::NameOf(*parent->Items(1)), "c1");
}

TEST_F(SpriteTree, DeletingASpriteFreesItsSubtreeLastChildFirst) {
    auto* p = Make(&engine, "P");
    auto* c1 = Make(p, "C1");
    Make(c1, "C1a");
    Make(p, "C2");
    auto* q = Make(&engine, "Q");

    delete p;
    EXPECT_EQ(Filter(log, "free"), (TLog{"free P", "free C2", "free C1", "free C1a"}));
    EXPECT_EQ(Children(engine), (std::vector<std::string>{"Q"}));
    EXPECT_EQ(Names(engine.DrawList()), (std::vector<std::string>{"Q"}));
    EXPECT_EQ(engine.SpriteCount(), 1);
    (void)q;
}

TEST_F(SpriteTree, DestroyingTheEngineFreesEverySprite) {
    TLog own;
    {
        TSpriteEngine local;
        auto* a = new TProbe(&local, "A", own);
        new TProbe(a, "A1", own);
        auto* b = new TProbe(&local, "B", own);
        b->MarkDead();
    }
    EXPECT_EQ(own, (TLog{"free B", "free A", "free A1"}));
}

// ---- dead sprites ----

TEST_F(SpriteTree, MarkDeadListsASpriteOnce) {
    auto* a = Make(&engine, "A");
    a->MarkDead();
    a->MarkDead();
    EXPECT_TRUE(a->IsDead());
    EXPECT_EQ(engine.DeadList(), (std::vector<TSprite*>{a}));

    TLog own;
    TProbe loose(nullptr, "loose", own); // no engine: nothing to schedule with
    loose.MarkDead();
    EXPECT_FALSE(loose.IsDead());
}

TEST_F(SpriteTree, FreeDeadGoesInReverseMarkingOrderAndTakesDeadDescendantsAlong) {
    auto* x = Make(&engine, "X");
    auto* p = Make(&engine, "P");
    auto* c1 = Make(p, "C1");
    Make(p, "C2");
    auto* keep = Make(&engine, "Keep");

    c1->MarkDead();
    x->MarkDead();
    p->MarkDead();
    ASSERT_EQ(engine.DeadList().size(), 3u);

    engine.FreeDead();
    EXPECT_EQ(Filter(log, "free"), (TLog{"free P", "free C2", "free C1", "free X"}));
    EXPECT_TRUE(engine.DeadList().empty());
    EXPECT_EQ(Children(engine), (std::vector<std::string>{"Keep"}));
    EXPECT_EQ(engine.SpriteCount(), 1);
    (void)keep;
}

TEST_F(SpriteTree, DeletingADeadSpriteDirectlyTakesItOffTheDeadList) {
    auto* a = Make(&engine, "A");
    auto* b = Make(&engine, "B");
    a->MarkDead();
    b->MarkDead();
    delete a;
    EXPECT_EQ(engine.DeadList(), (std::vector<TSprite*>{b}));
    engine.FreeDead();
    EXPECT_EQ(Filter(log, "free"), (TLog{"free A", "free B"}));
    EXPECT_EQ(engine.Count(), 0);
}

// ---- move pass ----

TEST_F(SpriteTree, MoveVisitsInCreationOrderAndSkipsFrozenSubtrees) {
    auto* a = Make(&engine, "A");
    a->SetZ(5);
    auto* a1 = Make(a, "A1");
    Make(a1, "A1x");
    auto* b = Make(&engine, "B");
    Make(b, "B1");
    auto* dead = Make(&engine, "Dead");
    dead->MarkDead();

    engine.Move(7);
    EXPECT_EQ(
        log, (TLog{"move A 7", "move A1 7", "move A1x 7", "move B 7", "move B1 7", "move Dead 7"}));

    log.clear();
    a1->CanMove = false;
    b->CanMove = false;
    engine.Move(3);
    EXPECT_EQ(log, (TLog{"move A 3", "move Dead 3"}));
}

// A sprite's children are counted after its own MoveSelf, so a child it makes
// for itself moves at once; a sibling appended to a list already being walked
// waits for the next pass.
TEST_F(SpriteTree, SpritesAppendedToAListBeingWalkedWaitForTheNextPass) {
    auto* a = Make(&engine, "A");
    int spawned = 0;
    a->OnMove = [&](TProbe& self) {
        if (spawned++ == 0) {
            Make(&engine, "New");
            Make(&self, "Child");
        }
    };
    Make(&engine, "B");

    engine.Move(1);
    EXPECT_EQ(log, (TLog{"move A 1", "move Child 1", "move B 1"}));
    log.clear();
    engine.Move(1);
    EXPECT_EQ(log, (TLog{"move A 1", "move Child 1", "move B 1", "move New 1"}));
}

// ---- draw pass ----

class SpriteDraw : public SpriteTree {
protected:
    TDirectDrawSurface surface{800, 600};
    void SetUp() override { engine.SetSurface(&surface); }
};

TEST_F(SpriteDraw, SetSurfaceTakesTheSurfaceSize) {
    EXPECT_EQ(engine.SurfaceRect(), (TRect{0, 0, 800, 600}));
    EXPECT_EQ(engine.Width, 800);
    EXPECT_EQ(engine.Height, 600);
    EXPECT_EQ(engine.Surface(), &surface);

    engine.SetSurface(nullptr);
    EXPECT_EQ(engine.Surface(), nullptr);
    EXPECT_EQ(engine.SurfaceRect(), (TRect{0, 0, 800, 600}));
}

TEST_F(SpriteDraw, DrawsOnlySpritesThatShareInteriorPixelsWithTheSurface) {
    struct TCase {
        double x, y;
        int32_t w, h;
        bool drawn;
    };
    const TCase cases[] = {
        {-10, 0, 10, 10, false},   // right edge on the surface's left edge
        {-9.4, 0, 10, 10, true},   // rounds to -9
        {-9.5, 0, 10, 10, false},  // half to even: -10
        {-10.5, 0, 10, 10, false}, // half to even: -10
        {-8.5, 0, 10, 10, true},   // half to even: -8
        {799, 599, 10, 10, true},  {800, 0, 10, 10, false},        {0, 600, 10, 10, false},
        {0, -10, 10, 10, false},   {-100, -100, 1000, 1000, true},
    };
    for (const auto& c : cases) {
        engine.Clear();
        log.clear();
        Make(&engine, "S", c.x, c.y, c.w, c.h);
        engine.Draw();
        EXPECT_EQ(engine.DrawCount(), c.drawn ? 1 : 0) << c.x << "," << c.y;
        EXPECT_EQ(log.size(), c.drawn ? 1u : 0u) << c.x << "," << c.y;
    }
}

TEST_F(SpriteDraw, DrawsInZOrderAndRespectsVisibility) {
    auto* a = Make(&engine, "A");
    a->SetZ(2);
    Make(a, "A1")->SetZ(1);
    Make(a, "A2")->SetZ(-1);
    auto* b = Make(&engine, "B");
    Make(b, "B1");
    Make(&engine, "C")->SetZ(1);
    // Off the surface itself, yet its child lies on it.
    auto* off = Make(&engine, "Off", -100, 0);
    Make(off, "OffChild", 150, 0);

    engine.Draw();
    EXPECT_EQ(log, (TLog{"draw OffChild", "draw B", "draw B1", "draw C", "draw A", "draw A2",
                         "draw A1"}));
    EXPECT_EQ(engine.DrawCount(), 7);

    log.clear();
    b->Visible = false;
    off->Visible = false;
    engine.Draw();
    EXPECT_EQ(log, (TLog{"draw C", "draw A", "draw A2", "draw A1"}));
    EXPECT_EQ(engine.DrawCount(), 4);

    log.clear();
    engine.Visible = false;
    engine.Draw();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(engine.DrawCount(), 0);
}

// ---- collision search ----

class SpriteCollision : public SpriteTree {
protected:
    TProbe* searcher = nullptr;
    void SetUp() override { searcher = Make(&engine, "S", 0, 0, 10, 10); }
    TLog Hits() const { return Filter(log, "hit"); }
};

TEST_F(SpriteCollision, RectanglesMustShareInteriorPixels) {
    struct TCase {
        double x, y;
        bool hit;
    };
    const TCase cases[] = {
        {10, 0, false},  {9, 0, true},   {0, 10, false},  {0, 9, true},
        {-10, 0, false}, {-9, -9, true}, {9.5, 0, false}, // 9.5 rounds half to even: 10
        {8.5, 0, true},
    };
    for (const auto& c : cases) {
        if (engine.Count() > 1)
            delete engine.Items(1);
        Make(&engine, "O", c.x, c.y);
        EXPECT_EQ(searcher->CheckCollisions(), c.hit ? 1 : 0) << c.x << "," << c.y;
    }
}

class SpriteCollisionTree : public SpriteCollision {
protected:
    TProbe* a = nullptr;
    TProbe* b = nullptr;
    void SetUp() override {
        SpriteCollision::SetUp();
        Make(searcher, "S1");
        a = Make(&engine, "A");
        b = Make(&engine, "B");
        Make(b, "B1");
        Make(b, "B2")->SetZ(-5);
        Make(&engine, "Far", 50, 50);
        auto* c = Make(&engine, "C");
        Make(c, "C1");
    }
};

TEST_F(SpriteCollisionTree, VisitsInCreationOrderSkippingOnlyTheSearcherItself) {
    EXPECT_EQ(searcher->CheckCollisions(), 7);
    EXPECT_EQ(Hits(), (TLog{"hit S1", "hit A", "hit B", "hit B1", "hit B2", "hit C", "hit C1"}));
    EXPECT_EQ(engine.CollisionCount(), 7);
}

TEST_F(SpriteCollisionTree, ASpriteThatCannotCollideHidesItsSubtree) {
    b->CanCollide = false;
    EXPECT_EQ(searcher->CheckCollisions(), 4);
    EXPECT_EQ(Hits(), (TLog{"hit S1", "hit A", "hit C", "hit C1"}));
}

TEST_F(SpriteCollisionTree, DoneStopsDescendingButTheRootsChildrenAreStillOffered) {
    searcher->OnHit = [](TSprite& other, bool& done) {
        if (TProbe::NameOf(other) == "B")
            done = true;
    };
    EXPECT_EQ(searcher->CheckCollisions(), 4);
    EXPECT_EQ(Hits(), (TLog{"hit S1", "hit A", "hit B", "hit C"}));
}

TEST_F(SpriteCollisionTree, ASearcherThatDiesIsStillOfferedTheRest) {
    searcher->OnHit = [this](TSprite&, bool&) { searcher->MarkDead(); };
    EXPECT_EQ(searcher->CheckCollisions(), 4);
    EXPECT_EQ(Hits(), (TLog{"hit S1", "hit A", "hit B", "hit C"}));
    // A second search by a dead sprite finds nothing.
    log.clear();
    EXPECT_EQ(searcher->CheckCollisions(), 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(SpriteCollisionTree, ASearcherThatStopsCollidingIsStillOfferedTheRest) {
    searcher->OnHit = [this](TSprite&, bool&) { searcher->CanCollide = false; };
    EXPECT_EQ(searcher->CheckCollisions(), 4);
    EXPECT_EQ(Hits(), (TLog{"hit S1", "hit A", "hit B", "hit C"}));
}

TEST_F(SpriteCollisionTree, TheSearchRectangleIsTakenOnce) {
    searcher->OnHit = [this](TSprite&, bool&) { searcher->X = 500; };
    EXPECT_EQ(searcher->CheckCollisions(), 7);
}

TEST_F(SpriteCollision, BothHitTestsMustAgreeAndTheSecondRunsOnlyAfterTheFirst) {
    auto* o = Make(&engine, "O");
    o->Accepts = false;
    EXPECT_EQ(searcher->CheckCollisions(), 0);
    EXPECT_EQ(Filter(log, "test"), (TLog{"test S->O", "test O->S"}));

    log.clear();
    o->Accepts = true;
    searcher->Accepts = false;
    EXPECT_EQ(searcher->CheckCollisions(), 0);
    EXPECT_EQ(Filter(log, "test"), (TLog{"test S->O"}));
    EXPECT_TRUE(Hits().empty());
}

TEST_F(SpriteCollision, NoSearchWithoutEngineOrWhenTheSearcherCannotCollide) {
    Make(&engine, "O");
    searcher->CanCollide = false;
    EXPECT_EQ(searcher->CheckCollisions(), 0);

    TLog own;
    TProbe loose(nullptr, "loose", own);
    EXPECT_EQ(loose.CheckCollisions(), 0);
    EXPECT_TRUE(log.empty());
}

// ---- the component ----

class DXSpriteEngine : public ::testing::Test {
protected:
    TLog log;
    TNullVideoOutput output;
    TDXDraw display{&output};
    TDXSpriteEngine component;
};

TEST_F(DXSpriteEngine, FollowsTheDisplaysSurfaces) {
    component.SetDXDraw(&display);
    new TProbe(&component.Engine, "A", log);

    component.Draw();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(component.Engine.Surface(), nullptr);

    display.Initialize();
    ASSERT_NE(display.Surface(), nullptr);
    EXPECT_EQ(component.Engine.Surface(), display.Surface());
    EXPECT_EQ(component.Engine.SurfaceRect(), (TRect{0, 0, 800, 600}));
    component.Draw();
    EXPECT_EQ(log, (TLog{"draw A"}));

    log.clear();
    display.Finalize();
    EXPECT_EQ(component.Engine.Surface(), nullptr);
    component.Draw();
    EXPECT_TRUE(log.empty());
}

TEST_F(DXSpriteEngine, MovesAndFreesTheEngine) {
    auto* a = new TProbe(&component.Engine, "A", log);
    component.Move(12);
    a->MarkDead();
    component.FreeDead();
    EXPECT_EQ(log, (TLog{"move A 12", "free A"}));
    EXPECT_EQ(component.Engine.SpriteCount(), 0);
}

TEST_F(DXSpriteEngine, ForgetsADisplayThatGoesAwayAndLeavesAReplacedOne) {
    TNullVideoOutput otherOutput;
    TDXDraw other(&otherOutput);
    component.SetDXDraw(&display);
    component.SetDXDraw(&other);
    display.Initialize();
    EXPECT_EQ(component.Engine.Surface(), nullptr);

    {
        TNullVideoOutput shortOutput;
        auto shortLived = std::make_unique<TDXDraw>(&shortOutput);
        component.SetDXDraw(shortLived.get());
        shortLived->Initialize();
        EXPECT_NE(component.Engine.Surface(), nullptr);
        shortLived.reset();
    }
    EXPECT_EQ(component.DXDraw(), nullptr);
    EXPECT_EQ(component.Engine.Surface(), nullptr);
    component.Draw(); // nothing to draw on, nothing happens
}

} // namespace
} // namespace vantorel
