// A tile text for another label: the core wrote the tile set's and the map's
// label lines with the label of its request; for another, the two lines are
// made again and the rows between them are the core's, as they are.
// `tiles` is a result's (web_core.cpp), with the label it was written with.
export function tileTextFor(core, body, tiles, label) {
  if (label !== "" && label === tiles.label) return body;
  const lines = core.tileLines(label, tiles);
  return new Blob([lines.tiles, body.slice(tiles.tilesRows, tiles.mapLine), lines.map,
                   body.slice(tiles.mapRows)], { type: "text/plain" });
}
