// Reads a Jet file with the npm package mdb-reader (an independent implementation) and
// prints what it sees as JSON: the database password, and every user table's columns and rows.
// Usage: node mdbread.mjs FILE
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const reader = new MDBReader(readFileSync(process.argv[2]));
const out = { password: reader.getPassword(), tables: [] };
for (const name of reader.getTableNames()) {
    const table = reader.getTable(name);
    const columns = table.getColumns().map((c) => ({ name: c.name, type: c.type, size: c.size }));
    const rows = table.getData().map((row) => columns.map((c) => row[c.name]));
    out.tables.push({ name, rowCount: table.rowCount, columns, rows });
}
process.stdout.write(JSON.stringify(out));
