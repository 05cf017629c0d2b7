#pragma once
// The concrete node class of each kind, per character type, so that code
// written once over the character type (the parser, compile) builds the
// byte family's named classes and the wide family's twins.

#include "assertion_nodes.h"
#include "char_nodes.h"
#include "control_nodes.h"
#include "quantifier_nodes.h"

template <class C>
struct NodeKinds;

template <>
struct NodeKinds<char> {
  using Start = NFAStartNode;
  using End = NFAEndNode;
  using Accept = NFAAcceptNode;
  using SubStart = NFASubStartNode;
  using Or = NFAOrNode;
  using LookAhead = NFALookAheadNode;
  using Char = NFACharNode;
  using CIChar = NFACICharNode;
  using Class = NFAClassNode;
  using CIClass = NFACIClassNode;
  using Quote = NFAQuoteNode;
  using CIQuote = NFACIQuoteNode;
  using Reference = NFAReferenceNode;
  using StartOfLine = NFAStartOfLineNode;
  using EndOfLine = NFAEndOfLineNode;
  using StartOfInput = NFAStartOfInputNode;
  using EndOfInput = NFAEndOfInputNode;
  using WordBoundary = NFAWordBoundaryNode;
  using EndOfMatch = NFAEndOfMatchNode;
  using LookBehind = NFALookBehindNode;
  using GreedyQuantifier = NFAGreedyQuantifierNode;
  using LazyQuantifier = NFALazyQuantifierNode;
  using PossessiveQuantifier = NFAPossessiveQuantifierNode;
  using GroupHead = NFAGroupHeadNode;
  using GroupTail = NFAGroupTailNode;
  using GroupLoopPrologue = NFAGroupLoopPrologueNode;
  using GroupLoop = NFAGroupLoopNode;
};

template <>
struct NodeKinds<wchar_t> {
  using Start = NFAStartUNode;
  using End = NFAEndUNode;
  using Accept = NFAAcceptUNode;
  using SubStart = NFASubStartUNode;
  using Or = NFAOrUNode;
  using LookAhead = NFALookAheadUNode;
  using Char = NFACharUNode;
  using CIChar = NFACICharUNode;
  using Class = NFAClassUNode;
  using CIClass = NFACIClassUNode;
  using Quote = NFAQuoteUNode;
  using CIQuote = NFACIQuoteUNode;
  using Reference = NFAReferenceUNode;
  using StartOfLine = NFAStartOfLineUNode;
  using EndOfLine = NFAEndOfLineUNode;
  using StartOfInput = NFAStartOfInputUNode;
  using EndOfInput = NFAEndOfInputUNode;
  using WordBoundary = NFAWordBoundaryUNode;
  using EndOfMatch = NFAEndOfMatchUNode;
  using LookBehind = NFALookBehindUNode;
  using GreedyQuantifier = NFAGreedyQuantifierUNode;
  using LazyQuantifier = NFALazyQuantifierUNode;
  using PossessiveQuantifier = NFAPossessiveQuantifierUNode;
  using GroupHead = NFAGroupHeadUNode;
  using GroupTail = NFAGroupTailUNode;
  using GroupLoopPrologue = NFAGroupLoopPrologueUNode;
  using GroupLoop = NFAGroupLoopUNode;
};
