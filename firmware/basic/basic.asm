* basic.asm: the BASIC's core: work bytes, cold and warm start, the direct
* mode loop, the statement loop, errors, and the character output used by
* every statement. The other files of the BASIC are included at the end.
*
* Entry points:
*   bcold      cold start: clears the program, greets, "Ok"
*   bwarm      warm start (the monitor's BASIC command): keeps the program,
*              sets up the interrupt vectors, "Ok"
*   bhot       the hot start: bwarm with the width back at 80 columns
*   ready      prints "Ok" and reads the next direct line (stack kept)
*   newstt     runs statements from Y
*   error      B = error number; ON ERROR or the message, then "Ok"
*   outch      A to the screen (column counted in POSN); all kept
*   outstr     zero-terminated string at X; all kept
*   bcrlf       new line; all kept
*
* Registers while the interpreter runs: Y = text pointer (the next byte of
* the program or the direct line), U = value stack (eval.asm), S = the
* hardware stack, which also holds FOR, GOSUB and WHILE frames below the
* statement loop's level (STMTSP). DP = $70.
*
* RAM (the user's part, 0000-68FF):
*   0000-00FF  free for machine code (EXEC, USR)
*   0100       a zero byte, then the program (TXTTAB): lines of
*              link(2) number(2) tokens... 0, ended by a link of 0000
*   VARTAB     simple variables, 11 bytes each: name(2) type(1) value(8)
*   ARYTAB     arrays: name(2) type(1) size(2) dims(1) bound(2)... data
*   STREND     end of the arrays; free memory up to FRETOP
*   FRETOP     strings, growing down from MEMSIZ (MEMTOP or CLEAR's limit)
*   MEMTOP     the disk's buffers and the files (disk.asm, datafile.asm)

        INCLUDE "basic/float.inc"
        SETDP $70

* ---- direct page work bytes (7040-70FF) ----
VALTYP  EQU $7040           ; type of the value: 2 int, 3 string, 4 single, 8 double
IVAL    EQU $7041           ; integer value (2)
SDESC   EQU $7043           ; string value: address of its descriptor (2)
CURLIN  EQU $7045           ; line being run, FFFF in direct mode
TXTTAB  EQU $7047           ; start of the program
VARTAB  EQU $7049           ; simple variables (end of the program)
ARYTAB  EQU $704B           ; arrays
STREND  EQU $704D           ; end of the arrays
FRETOP  EQU $704F           ; lowest string
MEMSIZ  EQU $7051           ; top of the BASIC's memory (exclusive)
STMTSP  EQU $7053           ; S at the statement loop
TEMPPT  EQU $7055           ; next free temporary string descriptor
DATPTR  EQU $7057           ; where READ goes on (0: at the program start)
OLDTXT  EQU $7059           ; CONT: where to go on (0: cannot)
OLDLIN  EQU $705B
ERRLIN  EQU $705D           ; ERL
ERRNUM  EQU $705F           ; ERR (1)
ERRTXT  EQU $7060           ; statement that failed (RESUME)
ONERR   EQU $7062           ; ON ERROR GOTO line number, 0 none
INERR   EQU $7064           ; 1 while the error handler runs
BRKFLG  EQU $7065           ; set by the BREAK key
TRCFLG  EQU $7066           ; TRON
POSN    EQU $7067           ; output column
DEFTBL  EQU $7068           ; default type of each initial letter (26)
TMPDSC  EQU $7082           ; temporary string descriptors, 10 x 3
TMPEND  EQU $70A0
STMTPT  EQU $70A0           ; start of the statement being run
VARTYP  EQU $70A2           ; type of the variable found by getvar
VNAME   EQU $70A3           ; its name (2)
SUBFLG  EQU $70A5           ; getvar: 1 no arrays, 2 create, $80 DIM
LINNUM  EQU $70A6           ; a line number (2)
TMP1    EQU $70A8           ; scratch words
TMP2    EQU $70AA
TMP3    EQU $70AC
TMP4    EQU $70AE
TMP5    EQU $70B0
SCRW    EQU $70B2           ; columns of the screen: 80 or 40 (WIDTH)
AUTOLN  EQU $70B4           ; AUTO: next number, 0 off
AUTOST  EQU $70B6           ; AUTO increment
USRADR  EQU $70B8           ; DEF USR address
FNSP    EQU $70BA           ; DEF FN parameter save stack pointer
OPMASK  EQU $70BC           ; relation being parsed
ERRSTP  EQU $70BD           ; S at the statement that failed (2)
DIMCNT  EQU $70BF           ; subscripts parsed
DATLIN  EQU $70C0           ; line of the DATA being read (2)
INPFLG  EQU $70C2           ; 0 INPUT, 1 READ, 2 LINE INPUT
GCTOP   EQU $70C3           ; garbage collection work (2)
GCBEST  EQU $70C5           ; (2)
FLOATF  EQU $70C7           ; PRINT USING flags
USCNT   EQU $70C8           ; PRINT USING counters (6)
ERRSTT  EQU $70CE           ; ERRTXT's line pointer for RESUME NEXT (2)
CONTLN  EQU $70D0           ; spare
TRUNC   EQU $70D2           ; 1 while the value stack is being unwound

* ---- buffers (7280-7BFF) ----
NUMBUF  EQU $7280           ; text of an integer, USING output (48)
FNSAVE  EQU $72B0           ; DEF FN parameter values saved (8 x 12)
FNSEND  EQU $7310
DIRBUF  EQU $7310           ; the direct line, tokenized (256)
GOCACHE EQU $7410           ; GOTO targets (32), below the value stack's limit
USTK    EQU $7600           ; value stack, grows down to 7440
USTKLIM EQU $7440           ; eval stops below this: Out of memory
STKLIM  EQU $7680           ; FOR/GOSUB/WHILE and eval stop below this
STKTOP  EQU $7C00           ; hardware stack, grows down to 7600

PROGST  EQU $0100           ; a zero byte, then the program
MEMTOP  EQU $6900           ; 6900-6FFF: the disk's buffers (disk.asm)
VARLEN  EQU 11              ; simple variable entry

* ---- monitor services ----
M_TICKS EQU $7D64           ; timer IRQs counted (32 bits)
M_ATTN  EQU $7D61
M_OLEN  EQU $7D60
M_KIRQ  EQU $7D62

* ---------------------------------------------------------------- start
bcold   ORCC #$50
        LDS #STKTOP
        LDA #$70
        TFR A,DP
        LDX #$7C00          ; the monitor's RAM, as its own cold start does
.clr    CLR ,X+
        CMPX #$7F00
        BLO .clr
        LDX #$7040
.clr2   CLR ,X+
        CMPX #$7100
        BLO .clr2
        JSR fp_init
        JSR dinit
        JSR finit
        LDA #80
        STA <SCRW
        BSR bvect
        LDX #PROGST+1
        STX <TXTTAB
        LDX #MEMTOP
        STX <MEMSIZ
        JSR scrnew
        LDX #greet
        JSR outstr
        LDD <MEMSIZ
        SUBD <VARTAB
        JSR prtuint
        LDX #bytesf
        JSR outstr
        JMP dauto           ; (disk.asm: AUTORUN, else readyr)

* bhot: the hot start. The sub CPU has started again with 80 columns.
bhot    ORCC #$50
        LDA #$70
        TFR A,DP
        LDA #80
        STA <SCRW
* bwarm: back from the monitor, or the hot start; the program and its
* variables are kept.
bwarm   ORCC #$50
        LDS #STKTOP
        LDA #$70
        TFR A,DP
        CLR M_OLEN
        BSR bvect
        CLR <POSN
        JSR clrgoc
        JMP readyr

* bvect: the BASIC's interrupt handlers, the timer IRQ on.
bvect   LDX #birq
        STX $FFF8
        LDX #bfirq
        STX $FFF6
        LDX #swi
        STX $FFF2
        STX $FFF4
        STX $FFFA
        LDX #nmi
        STX $FFFC
        CLR M_KIRQ
        LDA #$04
        STA M_IRQEN
        ANDCC #$AF
        RTS

* Timer IRQ: counted at M_TICKS; key IRQs are not taken.
birq    LDA M_IRQST
        BITA #$04
        BNE .r
        INC M_TICKS+3
        BNE .r
        INC M_TICKS+2
        BNE .r
        INC M_TICKS+1
        BNE .r
        INC M_TICKS
.r      RTI

* FIRQ: attention from the sub CPU, or BREAK: cancel what the sub CPU waits
* for (a line or a key), wait until the key is let go, and leave the flag
* for the statement loop.
bfirq   PSHS A
        LDA M_FIRQST
        BITA #$02
        BEQ .brk
        INC M_ATTN
        PULS A
        RTI
.brk    LDA #$40
        STA M_SUBCTL
.wait   LDA M_FIRQST
        BITA #$02
        BEQ .wait
        LDA #1
        STA BRKFLG
        PULS A
        RTI

* ---------------------------------------------------------------- direct mode
* ready: "Ok", then lines from the keyboard. The stack is kept (CONT).
readyr  LDS #STKTOP
        JSR clrstk
ready   JSR flushc
        LDA <POSN
        BEQ .ok
        JSR bcrlf
.ok     LDX #bokmsg
        JSR outstr
* main: read a line and run or store it.
main    CLR <BRKFLG
        LDD #$FFFF
        STD <CURLIN
        LDU #USTK
        LDD <AUTOLN
        BEQ .get
        JSR prtuint         ; AUTO: offer the next number
        LDA #' '
        JSR outch
.get    JSR inline
        TST <BRKFLG
        BEQ .nobrk
        LDD #0              ; BREAK ends AUTO and the line
        STD <AUTOLN
        JSR newln
        BRA main
.nobrk  LDY #LINBUF
        JSR peek
        BNE .some
        LDD #0              ; an empty line ends AUTO
        STD <AUTOLN
        BRA main
.some   JSR isdigit
        BCC .nonum
        JSR getlin          ; a program line
        BCS .syn
        BRA .num
.nonum  LDD <AUTOLN         ; AUTO: the text belongs to the number offered
        BEQ .direct
.num    STD <LINNUM
        LDD <AUTOLN
        BEQ .noau
        LDD <LINNUM
        ADDD <AUTOST
        BCS .aoff
        CMPD #65529
        BLS .anext
.aoff   LDD #0
.anext  STD <AUTOLN
.noau   LDA ,Y              ; one space after the number is not kept
        CMPA #' '
        BNE .tok
        LEAY 1,Y
.tok    TFR Y,X
        LDU #DIRBUF
        JSR crunch
        LDX #DIRBUF
        JSR edit
        JMP main
.syn    JMP snerr
.direct LDX #LINBUF
        LDU #DIRBUF
        JSR crunch
        LDY #DIRBUF
        JMP newstt

newln   LDA <POSN
        BEQ .r
        JMP bcrlf
.r      RTS

* inline: a line from the keyboard into LINBUF, zero-terminated.
inline  PSHS X,Y
        JSR flushc
        JSR getline
        CLR <POSN
        PULS X,Y,PC

* ---------------------------------------------------------------- statements
* newstt: run the statements at Y. Y points at a statement, a ':' or the
* zero that ends a line. A statement handler is called with Y past its
* token and returns with Y at the end of the statement (stend checks it);
* handlers that drop their return address go on at newstt or stend.
newstt  TST <BRKFLG
        LBNE dobrk
        STS <STMTSP
.sp     LDA ,Y+
        CMPA #' '
        BEQ .sp
        LEAY -1,Y
        CMPA #':'
        BNE .nc
        LEAY 1,Y
        BRA newstt
.nc     TSTA
        LBEQ steol
        STY <STMTPT
        LDX #TMPDSC
        STX <TEMPPT
        LDU #USTK
        TSTA
        BPL .let
        CMPA #T_LASTS
        BHI .other
        ANDA #$7F           ; (unsigned: there are more than 64)
        LDB #2
        MUL
        LDX #stmtab
        LDX D,X
        LEAY 1,Y
        JSR ,X
        BRA stend
.let    JSR let
        BRA stend
.other  CMPA #T_EXT
        BEQ .ext
        CMPA #T_MID
        LBNE snerr
        LEAY 1,Y
        JSR midst
        BRA stend
.ext    LDB 1,Y             ; a statement of xkwtab
        DECB
        CMPB #X_LASTS-1
        LBHI snerr
        LEAY 2,Y
        LSLB
        LDX #xhand
        JSR [B,X]
stend   LDA ,Y
        CMPA #' '
        BNE .a2
        LEAY 1,Y
        BRA stend
.a2     CMPA #':'
        BEQ .colon
        TSTA
        BEQ steol
        CMPA #T_APOS        ; a ' remark right after a statement
        BEQ .rest
        CMPA #T_ELSE
        LBNE snerr
.rest   JSR skipln          ; ELSE after a THEN part that ran: the rest goes
        BRA steol
.colon  LEAY 1,Y
        LBRA newstt
* steol: Y at the zero that ends a line: the next line, or the direct mode.
steol   LDX <CURLIN
        LEAX 1,X
        BEQ .direct
        LDX 1,Y             ; Y is at the zero; the link follows
        BEQ .end
        LDD 3,Y
        STD <CURLIN
        LEAY 5,Y
        TST <TRCFLG
        LBEQ newstt
        LDA #'['
        JSR outch
        JSR prtuint1
        LDA #']'
        JSR outch
        JMP newstt
.end    LDS <STMTSP
        JSR fclall          ; the program's end closes its files
        LDX #0
        STX <OLDTXT
.direct JMP ready

* skipln: Y to the zero at the end of the line.
skipln  LDA ,Y+
        BNE skipln
        LEAY -1,Y
        RTS

* dobrk: BREAK between statements: "Break in n", CONT can go on.
dobrk   CLR <BRKFLG
        LDS <STMTSP
        STY <OLDTXT
        LDD <CURLIN
        STD <OLDLIN
        JSR flushc
        JSR newln
        LDX #bbrkmsg
        JSR outstr
        JSR inlin
        JSR bcrlf
        JMP ready

* inlin: " in n" when a program runs.
inlin   LDD <CURLIN
        CMPD #$FFFF
        BEQ .r
        LDX #inmsg
        JSR outstr
        JSR prtuint1
.r      RTS

* stop / end
xstop   LDB #1
        BRA endst
xend    CLRB
endst   JSR peek            ; nothing may follow
        JSR isend
        LBNE snerr
        TSTB
        BNE .stop
        JSR fclall          ; END closes the files
.stop
        LEAS 2,S
        PSHS B
        LDX <CURLIN
        LEAX 1,X
        BEQ .dir
        STY <OLDTXT
        LDD <CURLIN
        STD <OLDLIN
.dir    TST ,S+
        BEQ .q
        JSR newln
        LDX #bbrkmsg
        JSR outstr
        JSR inlin
        JSR bcrlf
.q      JMP ready

* cont: go on after STOP, END or BREAK.
xcont   LDY <OLDTXT
        LBEQ cnerr
        LDD <OLDLIN
        STD <CURLIN
        LDX #0
        STX <OLDTXT
        LEAS 2,S
        JMP newstt

* isend: Z = 1 when A ends a statement (zero, ':', ELSE or ').
isend   TSTA
        BEQ .r
        CMPA #':'
        BEQ .r
        CMPA #T_APOS
        BEQ .r
        CMPA #T_ELSE
.r      RTS

* ---------------------------------------------------------------- errors
errtab  FCB 1,"NEXT without FOR",0
        FCB 2,"Syntax error",0
        FCB 3,"RETURN without GOSUB",0
        FCB 4,"Out of DATA",0
        FCB 5,"Illegal function call",0
        FCB 6,"Overflow",0
        FCB 7,"Out of memory",0
        FCB 8,"Undefined line number",0
        FCB 9,"Subscript out of range",0
        FCB 10,"Redimensioned array",0
        FCB 11,"Division by zero",0
        FCB 12,"Illegal direct",0
        FCB 13,"Type mismatch",0
        FCB 14,"Out of string space",0
        FCB 15,"String too long",0
        FCB 16,"String formula too complex",0
        FCB 17,"Can't continue",0
        FCB 18,"Undefined user function",0
        FCB 19,"No RESUME",0
        FCB 20,"RESUME without error",0
        FCB 22,"Missing operand",0
        FCB 23,"Line buffer overflow",0
        FCB 26,"FOR without NEXT",0
        FCB 29,"WHILE without WEND",0
        FCB 30,"WEND without WHILE",0
        FCB 52,"Bad file number",0
        FCB 53,"File not found",0
        FCB 54,"Bad file mode",0
        FCB 55,"File already open",0
        FCB 57,"Device I/O error",0
        FCB 58,"File already exists",0
        FCB 61,"Disk full",0
        FCB 62,"Input past end",0
        FCB 64,"Bad file name",0
        FCB 50,"FIELD overflow",0
        FCB 63,"Bad record number",0
        FCB 66,"Direct statement in file",0
        FCB 70,"Disk write protected",0
        FCB 56,"Verify error",0
        FCB 0

nferr   LDB #1
        BRA error
snerr   LDB #2
        BRA error
rgerr   LDB #3
        BRA error
oderr   LDB #4
        BRA error
fcerr   LDB #5
        BRA error
overr   LDB #6
        BRA error
omerr   LDB #7
        BRA error
ulerr   LDB #8
        BRA error
bserr   LDB #9
        BRA error
ddeerr  LDB #10
        BRA error
dv0err  LDB #11
        BRA error
iderr   LDB #12
        BRA error
tmerr   LDB #13
        BRA error
oserr   LDB #14
        BRA error
lserr   LDB #15
        BRA error
sterr   LDB #16
        BRA error
cnerr   LDB #17
        BRA error
uferr   LDB #18
        BRA error
reerr   LDB #20
        BRA error
wferr   LDB #29
        BRA error
wderr   LDB #30
* error: B = number. With ON ERROR GOTO set (and not inside the handler) a
* running program goes on at the handler; otherwise the message, then "Ok".
error   LDA #$70
        TFR A,DP
        STB <ERRNUM
        JSR fioff           ; output back on the screen
        LDX <FNSP           ; DEF FN parameters get their values back
.fn     CMPX #FNSAVE
        BLS .fnd
        LEAX -VARLEN,X
        LDU ,X
        LDD 3,X
        STD ,U
        LDD 5,X
        STD 2,U
        LDD 7,X
        STD 4,U
        LDD 9,X
        STD 6,U
        BRA .fn
.fnd    STX <FNSP
        LDX <CURLIN
        STX <ERRLIN
        LDX <STMTPT
        STX <ERRTXT
        LDX #0
        STX <OLDTXT
        LDX <CURLIN
        LEAX 1,X
        BEQ .msg
        LDD <ONERR
        BEQ .msg
        TST <INERR
        BNE .msg
        LDS <STMTSP
        STS <ERRSTP
        JSR fndlin
        BNE .msg            ; the handler line is gone
        INC <INERR
        LEAY -1,X           ; the zero before the handler line
        LDD #0
        STD <CURLIN
        JMP newstt
.msg    LDS #STKTOP
        JSR clrstk
        CLR <INERR
        JSR flushc
        JSR newln
        LDB <ERRNUM
        LDX #errtab
.find   LDA ,X+
        BEQ .unp
        PSHS B
        CMPA ,S+
        BEQ .show
.skip   LDA ,X+
        BNE .skip
        BRA .find
.unp    LDX #unpmsg
.show   JSR outstr
        JSR inlin
        JSR bcrlf
        JMP ready

* clrstk: no FOR/GOSUB/WHILE frames; S is set to the empty stack (the caller's
* return address is moved along).
clrstk  PULS X
        LDS #STKTOP
        CLRA
        PSHS A              ; the marker under the frames
        LDD #0
        STD <OLDTXT
        LDD #FNSAVE
        STD <FNSP
        JMP ,X

* ---------------------------------------------------------------- output
* outch: A to the screen through the monitor's buffer; POSN follows.
outch   TST FOUT        ; SAVE ,A: the listing goes to the tape
        LBNE fout
        PSHS A
        CMPA #CH_CR
        BEQ .cr
        CMPA #' '
        BLO .out
        INC <POSN
        LDA <POSN
        CMPA <SCRW
        BLO .out
        CLR <POSN
        BRA .out
.cr     CLR <POSN
.out    PULS A
        JMP putc

outstr  PSHS A,X
.l      LDA ,X+
        BEQ .r
        BSR outch
        BRA .l
.r      PULS A,X,PC

bcrlf    PSHS A
        LDA #CH_CR
        BSR outch
        PULS A,PC

outsp   PSHS A
        LDA #' '
        BSR outch
        PULS A,PC

flushc  JMP flush

* prtuint1: the number in CURLIN; prtuint: D unsigned, no spaces.
prtuint1 LDD <CURLIN
prtuint PSHS X
        JSR fmtuint
        JSR outstr
        PULS X,PC

* fmtuint: D (0..65535) as decimal text at NUMBUF+1.., X = its start.
fmtuint PSHS Y
        LDX #NUMBUF+8
        CLR ,X
.l      PSHS X
        JSR div10           ; D := D / 10, remainder in TMP4
        PULS X
        PSHS A
        LDA <TMP4
        ADDA #'0'
        STA ,-X
        PULS A
        CMPD #0
        BNE .l
        PULS Y,PC

* div10: D := D / 10 (unsigned), remainder in TMP4.
div10   PSHS X
        STD <TMP5
        LDX #16
        CLRA
        CLRB
.l      LSL <TMP5+1
        ROL <TMP5
        ROLB
        ROLA
        CMPD #10
        BLO .n
        SUBD #10
        INC <TMP5+1
.n      LEAX -1,X
        BNE .l
        STB <TMP4
        LDD <TMP5
        PULS X,PC

* ---------------------------------------------------------------- text
* peek: Y past spaces; A = the byte there, flags from it.
peek    LDA ,Y
        CMPA #' '
        BNE .r
        LEAY 1,Y
        BRA peek
.r      TSTA
        RTS

* nextc: past the current byte, then peek.
nextc   LEAY 1,Y
        BRA peek

* need: the next byte must be B (syntax error otherwise); Y moves past it.
need    BSR peek
        PSHS B
        CMPA ,S+
        LBNE snerr
        LEAY 1,Y
        RTS

needlp  PSHS D
        LDB #'('
        BRA needx
needrp  PSHS D
        LDB #')'
        BRA needx
needcm  PSHS D
        LDB #','
needx   BSR need
        PULS D,PC

* getlin: a line number (digits) at Y -> D, C = 0; C = 1 when there is no
* number there. Numbers above 65529 are a syntax error.
getlin  JSR peek
        CMPA #'0'
        BLO .none
        CMPA #'9'
        BHI .none
        LDD #0
.dig    STD <TMP5
        LDA ,Y
        SUBA #'0'
        BLO .end
        CMPA #9
        BHI .end
        LEAY 1,Y
        PSHS A
        LDD <TMP5
        CMPD #6553
        BHI .big
        LSLB
        ROLA
        STD <TMP5
        LSLB
        ROLA
        LSLB
        ROLA
        ADDD <TMP5
        ADDB ,S+
        ADCA #0
        BCS .big0
        BRA .dig
.big    LEAS 1,S
.big0   JMP snerr
.end    LDD <TMP5
        CMPD #65529
        BHI .big0
        ANDCC #$FE
        RTS
.none   ORCC #$01
        RTS

* ---------------------------------------------------------------- texts
greet   FCC "Quillon BASIC "
        INCLUDE "version.inc"
        FCB CH_CR,0
bytesf  FCB " bytes free",CH_CR,0
bokmsg   FCB "Ok",CH_CR,0
bbrkmsg  FCB "Break",0
inmsg   FCB " in ",0
unpmsg  FCB "Unprintable error",0

        INCLUDE "basic/token.asm"
        INCLUDE "basic/prog.asm"
        INCLUDE "basic/eval.asm"
        INCLUDE "basic/vars.asm"
        INCLUDE "basic/string.asm"
        INCLUDE "basic/stmt.asm"
        INCLUDE "basic/print.asm"
        INCLUDE "basic/input.asm"
        INCLUDE "basic/func.asm"
        INCLUDE "basic/files.asm"
        INCLUDE "basic/datafile.asm"
        INCLUDE "basic/diskcmd.asm"
        INCLUDE "basic/graphics.asm"

        SETDP 0
