import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { ClickMemory } from "../../../extension/lib/click_memory.js";

describe("ClickMemory", () => {
  const click = (keys) => ({ keys, tabUrl: "http://a.example/" });

  it("gives a download the click on its URL once, fragment or not", () => {
    const memory = new ClickMemory(() => 0);
    memory.note("http://a.example/f.zip#top", click(["alt"]));
    assert.deepEqual(memory.take("http://a.example/f.zip"), click(["alt"]));
    assert.equal(memory.take("http://a.example/f.zip"), undefined);
  });

  it("forgets a click once it is older than the bound", () => {
    let time = 0;
    const memory = new ClickMemory(() => time, { keptMs: 1000 });
    memory.note("http://a.example/old.zip", click([]));
    memory.note("http://a.example/new.zip", click([]));
    time = 1001;
    assert.equal(memory.take("http://a.example/old.zip"), undefined);
    memory.note("http://a.example/new.zip", click(["shift"])); // noted again: young again
    assert.deepEqual(memory.take("http://a.example/new.zip"), click(["shift"]));
  });

  it("keeps only the latest clicks, and ignores what is no URL", () => {
    const memory = new ClickMemory(() => 0, { capacity: 2 });
    for (const name of ["a", "b", "c"]) memory.note(`http://a.example/${name}`, click([]));
    memory.note("no url", click([]));
    assert.equal(memory.take("http://a.example/a"), undefined);
    assert.deepEqual(memory.take("http://a.example/b"), click([]));
    assert.deepEqual(memory.take("http://a.example/c"), click([]));
    assert.equal(memory.take("no url"), undefined);
  });
});
