<Quillnote FormatVersion="1.1">
	<Chars Value="Shopping list"/><Br/>
	<Star/>
	<Chars Value=" for the weekend"/><Br/>
	<LogicFrame Expanded="0">
		<Caption>
			<Chars Value="Groceries"/>
		</Caption>
		<Content>
			<Chars Value="Milk"/><Br/>
			<Chars Value="Bread"/>
		</Content>
	</LogicFrame><Br/>
	<Comment>
		<Chars Value="Check the fridge first"/>
	</Comment>
</Quillnote>
