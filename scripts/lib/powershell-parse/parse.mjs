// Parses each PowerShell script named on the command line with the
// tree-sitter PowerShell grammar and prints every ERROR or MISSING node the
// parser had to make up, as file:line:column. Exits 1 when there is any:
// a script a fleet tool would refuse to run never reaches a release.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { Language, Parser } from 'web-tree-sitter';

const require = createRequire(import.meta.url);
await Parser.init();
const parser = new Parser();
parser.setLanguage(
    await Language.load(require.resolve('tree-sitter-powershell/tree-sitter-powershell.wasm')));

// The nodes of tree that are no part of the text: what the parser could not
// fit in (ERROR) or assumed to be there (MISSING).
function* madeUp(tree) {
    const cursor = tree.walk();
    for (let descend = true; ;) {
        const node = cursor.currentNode;
        if (descend && (node.isError || node.isMissing)) {
            yield node;
        }
        if (descend && cursor.gotoFirstChild()) {
            continue;
        }
        if (cursor.gotoNextSibling()) {
            descend = true;
            continue;
        }
        if (!cursor.gotoParent()) {
            return;
        }
        descend = false;
    }
}

let broken = 0;
for (const file of process.argv.slice(2)) {
    const tree = parser.parse(readFileSync(file, 'utf8'));
    for (const node of madeUp(tree)) {
        const { row, column } = node.startPosition;
        const what = node.isMissing ? `missing ${node.type}` : `cannot parse "${node.text.slice(0, 40)}"`;
        console.log(`${file}:${row + 1}:${column + 1}: ${what}`);
        broken += 1;
    }
}
process.exit(broken === 0 ? 0 : 1);
